#include "shaders/ShaderProgramGetRenderTarget.h"

#include <new>

#include "core/EngineLog.h"
#include "core/Tokenizer.h"
#include "d3d/CubeRenderTarget.h"
#include "d3d/RenderTargetStorageInterface.h"
#include "d3d/TextureRenderTarget.h"
#include "shaders/ShaderFileLines.h"

namespace {

// The render-target kinds the rendering profile describes for each shape and purpose.
constexpr UINT kShadowSquareKind = 0x10000;
constexpr UINT kReflectionSquareKind = 0x10001;
constexpr UINT kShadowCubeKind = 0x10004;
constexpr UINT kReflectionCubeKind = 0x10005;

}  // namespace

CShaderLine* MakeShaderProgramGetRenderTarget(const ShaderLineArguments& arguments) {
  return new (std::nothrow) CShaderProgramGetRenderTarget(arguments);
}

CShaderProgramGetRenderTarget::CShaderProgramGetRenderTarget(const ShaderLineArguments& arguments)
    : CShaderRenderTargetLine(arguments, "    - Compile GetRenderTarget Line: %s",
                              "CShaderProgramGetRenderTarget::CShaderProgramGetRenderTarget",
                              "CShaderProgramGetRenderTarget::Execute") {
  *arguments.pSuccess = 0;
  if (!ReadSlot() || !ReadShape(false)) return;
  const char* purpose = Tokens()->GetToken(3);
  if (CShaderFileLines::BeginsWith(purpose, "SHADOW")) {
    m_dwPurpose = kShadow;
  } else if (CShaderFileLines::BeginsWith(purpose, "REFLECTION")) {
    m_dwPurpose = kReflection;
  } else {
    Refuse();
    return;
  }
  *arguments.pSuccess = 1;
}

UINT CShaderProgramGetRenderTarget::Execute() {
  CWorldObject* owner = FindOwner();
  if (owner == nullptr) return 0;
  CRenderTargetStorageInterface* bank = Bank();
  if (bank == nullptr) return ReportExecuteError();
  const bool shadow = m_dwPurpose == kShadow;
  CColourRenderTarget* target = nullptr;
  if (m_dwShape == kSquare) {
    CTextureRenderTarget* square = nullptr;
    if (shadow)
      bank->GetFloatPlainRenderTarget(&square, kShadowSquareKind);
    else
      bank->GetPlainRenderTarget(&square, kReflectionSquareKind);
    target = square;
  } else if (m_dwShape == kCube) {
    CCubeRenderTarget* cube = nullptr;
    if (shadow)
      bank->GetFloatCubeRenderTarget(&cube, kShadowCubeKind);
    else
      bank->GetCubeRenderTarget(&cube, kReflectionCubeKind);
    target = cube;
  } else {
    LogTo(m_pLog, "ShaderProgramRenderTargets", CEngineLog::kLevelError,
          "GetRenderTarget Parameters: %i, %i, %i\n", m_iSlot, static_cast<int>(m_dwShape),
          static_cast<int>(m_dwPurpose));
    return ReportExecuteError();
  }
  if (target == nullptr) {
    LogTo(m_pLog, "ShaderProgramRenderTargets", CEngineLog::kLevelError,
          "WARNING! - CShaderProgramGetRenderTarget::Execute, Received Render Target Is Null\n");
    return 0;
  }
  StoreTarget(owner, target);
  return 1;
}
