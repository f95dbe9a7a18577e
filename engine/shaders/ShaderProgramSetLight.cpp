#include "shaders/ShaderProgramSetLight.h"

#include "ZeKorbD3DHeader.h"
#include "core/EngineLog.h"
#include "d3d/EngineRenderer.h"
#include "scene/Light.h"
#include "scene/Scene.h"
#include "shaders/ShaderPass.h"
#include "shaders/ShaderVariableNode.h"

namespace {

// The name the statement has always reported under.
const char kSender[] = "CShaderProgramSetEnable::CShaderProgramSetEnable";

constexpr ShaderCommandKeyword kSelectors[] = {
    {"ALL", static_cast<DWORD>(CShaderProgramSetLight::kAllLights)},
    {"CURRENT", static_cast<DWORD>(CShaderProgramSetLight::kCurrentLight)},
};

}  // namespace

CShaderProgramSetLight::CShaderProgramSetLight(const ShaderLineArguments& arguments)
    : CShaderCommand(arguments, "    - Compiling SetLight: %s") {
  if (!Compile()) Refuse(arguments, kSender);
}

bool CShaderProgramSetLight::Compile() {
  if (Word(1)[0] == '\0') return false;
  if (const ShaderCommandKeyword* selector = Match(Word(1), kSelectors)) {
    m_iSelector = static_cast<int>(selector->dwValue);
    return true;
  }
  m_pIndex = Reference(Word(1), {SHADER_VALUE_DWORD});
  return m_pIndex != nullptr;
}

UINT CShaderProgramSetLight::Execute() {
  CScene* scene = TargetScene();
  if (scene == nullptr) {
    m_pPass->ReportError(256, "CShaderProgramSetLight::Execute");
    return 0;
  }
  switch (m_iSelector) {
    case kAllLights:
      for (UINT i = 0; i < scene->GetNumberOfLights(); ++i) {
        CLightInterface* light = scene->GetLight(i);
        if (IsDeviceLight(light)) m_pRenderer->SetLight(i, light->GetD3DLightProperties());
      }
      return 1;
    case kCurrentLight: {
      auto* light = dynamic_cast<CLight*>(scene->GetCurrentLight());
      if (light == nullptr) {
        LogTo(m_pLog, kShaderCommandSource, CEngineLog::kLevelError,
              "WARNING!!! - Active Light Is Null!!!\n");
        return 0;
      }
      m_pRenderer->SetLight(light->GetNumber(), light->GetD3DLightProperties());
      return 1;
    }
    default:
      if (const DWORD* index = m_pIndex->GetDword()) SetNumbered(scene, *index);
      return 1;
  }
}

void CShaderProgramSetLight::SetNumbered(CScene* scene, UINT index) {
  if (index < scene->GetNumberOfLights()) {
    m_pRenderer->SetLight(index & 0xFFFF, scene->GetLight(index)->GetD3DLightProperties());
    return;
  }
  if (m_bOverrunLogged) return;
  m_bOverrunLogged = true;
  LogTo(m_pLog, kShaderCommandSource, CEngineLog::kLevelError,
        "WARNING!!! - SetLight::Execute, The Scene Has No Light %i\n", static_cast<int>(index));
}
