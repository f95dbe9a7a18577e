#include "shaders/ShaderProgramLightEnable.h"


#include "ZeKorbD3DHeader.h"
#include "core/EngineLog.h"
#include "d3d/EngineRenderer.h"
#include "scene/Scene.h"
#include "shaders/ShaderPass.h"
#include "shaders/ShaderVariableNode.h"

namespace {

const char kSender[] = "CShaderProgramLightEnable::CShaderProgramLightEnable";
constexpr UINT kDeviceLights = 8;  // the enable states the renderer caches

constexpr ShaderCommandKeyword kFlags[] = {{"TRUE", 1}, {"FALSE", 0}};

}  // namespace

CShaderProgramLightEnable::CShaderProgramLightEnable(const ShaderLineArguments& arguments)
    : CShaderCommand(arguments, "    - Compiling LightEnable: %s") {
  if (!Compile()) Refuse(arguments, kSender);
}

bool CShaderProgramLightEnable::Compile() {
  if (Word(1)[0] == '\0' || Word(2)[0] == '\0') return false;
  if (MatchedLength(Word(1), "ALL") != 0) {
    m_iSelector = kAllLights;
  } else {
    m_pIndex = Reference(Word(1), {SHADER_VALUE_DWORD});
    if (m_pIndex == nullptr) return false;
  }
  const ShaderCommandKeyword* flag = Match(Word(2), kFlags);
  if (flag == nullptr) return false;
  m_dwEnable = flag->dwValue;
  return true;
}

UINT CShaderProgramLightEnable::Execute() {
  CScene* scene = TargetScene();
  if (scene == nullptr) {
    m_pPass->ReportError(256, "CShaderProgramLightEnable::Execute");
    return 0;
  }
  if (m_iSelector == kAllLights) {
    for (UINT i = 0; i < scene->GetNumberOfLights(); ++i)
      if (IsDeviceLight(scene->GetLight(i))) Enable(i);
  } else if (const DWORD* index = m_pIndex->GetDword()) {
    Enable(*index & 0xFFFF);
  }
  return 1;
}

void CShaderProgramLightEnable::Enable(UINT index) {
  if (index < kDeviceLights) {
    m_pRenderer->SetLightEnable(static_cast<WORD>(index), m_dwEnable);
    return;
  }
  if (m_bOverrunLogged) return;
  m_bOverrunLogged = true;
  LogTo(m_pLog, kShaderCommandSource, CEngineLog::kLevelError,
        "WARNING!!! - LightEnable::Execute, The Device Keeps %i Lights, Light %i Is Skipped\n",
        static_cast<int>(kDeviceLights), static_cast<int>(index));
}
