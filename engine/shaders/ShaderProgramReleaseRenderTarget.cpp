#include "shaders/ShaderProgramReleaseRenderTarget.h"

#include <new>

#include "core/EngineLog.h"
#include "d3d/ColourRenderTarget.h"

CShaderLine* MakeShaderProgramReleaseRenderTarget(const ShaderLineArguments& arguments) {
  return new (std::nothrow) CShaderProgramReleaseRenderTarget(arguments);
}

CShaderProgramReleaseRenderTarget::CShaderProgramReleaseRenderTarget(
    const ShaderLineArguments& arguments)
    : CShaderRenderTargetLine(
          arguments, "    - Compile ReleaseRenderTarget Line: %s",
          "CShaderProgramReleaseRenderTarget::CShaderProgramReleaseRenderTarget",
          "CShaderProgramReleaseRenderTarget::Execute") {
  *arguments.pSuccess = ReadSlot() && ReadShape(false) ? 1 : 0;
}

UINT CShaderProgramReleaseRenderTarget::Execute() {
  CWorldObject* owner = FindOwner();
  if (owner == nullptr) return 0;
  if (CColourRenderTarget* target = SlotTarget(owner)) {
    if (target->GetLockCount() != 0)
      LogTo(m_pLog, "ShaderProgramRenderTargets", CEngineLog::kLevelError,
            "WARNING!!! - ShaderLib: Releasing Render Target Which Is Already Locked\n");
    while (target->GetLockCount() != 0) target->Unlock();
    StoreTarget(owner, nullptr);
  }
  return 1;
}
