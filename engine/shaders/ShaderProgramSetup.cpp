#include "shaders/ShaderProgramSetup.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "core/EngineLog.h"
#include "core/FatalError.h"
#include "scene/Camera.h"
#include "scene/Scene.h"
#include "shaders/Shader.h"
#include "shaders/ShaderCommandWords.h"
#include "shaders/ShaderPass.h"
#include "shaders/ShaderTargetObjects.h"

namespace {

const char kSource[] = "ExecuteProgram";

// Parameter names that count lights, compared over their own length; kAllLights counts every
// light whatever its type.
constexpr int kAllLights = -1;
struct LightCount {
  const char* szName;
  DWORD dwDynamicID;
  int iType;
};
constexpr LightCount kLightCounts[] = {
    {"NUM_DIRECTIONAL", 3, 0},
    {"NUM_LIGHTS", 4, kAllLights},
    {"NUM_POINT", 2, 1},
    {"NUM_SPOT", 1, 2},
};

const LightCount* LightCountNamed(const char* name) {
  for (const LightCount& count : kLightCounts)
    if (std::strncmp(name, count.szName, std::strlen(count.szName)) == 0) return &count;
  return nullptr;
}

const LightCount* LightCountOf(DWORD dynamicID) {
  for (const LightCount& count : kLightCounts)
    if (count.dwDynamicID == dynamicID) return &count;
  return nullptr;
}

bool IsHighEndExtra(const char* name) {
  return std::strcmp(name, "FRESNEL") == 0 || std::strcmp(name, "MATERIALTXT") == 0;
}

constexpr DWORD kRadeon8500 = 16;
// The parameter name field holds the name and its terminator.
constexpr size_t kParameterNameSize = sizeof(ShaderParameter::szParameterName);

}  // namespace

CShaderProgramSetup::CShaderProgramSetup(CShaderPass* pass, CEngineLog* log,
                                         const ShaderProgramKind& kind)
    : m_pPass(pass), m_pLog(log), m_Kind(kind) {}

UINT CShaderProgramSetup::Report(UINT code, const char* sender) {
  return m_pPass->ReportError(code, sender);
}

bool CShaderProgramSetup::Compile(const char* line, const char* autoProfile) {
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, m_Kind.szCompileLog, line);
  const CShaderCommandWords words(m_pPass);
  if (words.IsEmpty(1)) {
    Report(27, m_Kind.szConstructor);
    return false;
  }
  if (std::strncmp(words.Word(1), "NULL", 4) == 0) {
    std::strcpy(m_szFileName, "NULL");
    m_bNull = true;
    return true;
  }
  int firstParameter = 4;
  return ReadFileName() && ReadProfile(autoProfile, &firstParameter) &&
         ReadParameters(firstParameter);
}

bool CShaderProgramSetup::ReadFileName() {
  const CShaderCommandWords words(m_pPass);
  // The name, the dot and the extension arrive as three words; a name that does not fit the
  // field is refused rather than cut.
  const int written = std::snprintf(m_szFileName, sizeof m_szFileName, "%s%s%s", words.Word(1),
                                    words.Word(2), words.Word(3));
  if (written < 0 || static_cast<size_t>(written) >= sizeof m_szFileName) {
    m_szFileName[0] = '\0';
    Report(27, m_Kind.szConstructor);
    return false;
  }
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, m_Kind.szFileLog, m_szFileName);
  char* dot = std::strchr(m_szFileName + 1, '.');
  char* extension = dot != nullptr ? dot + 1 : m_szFileName;
  if (std::strlen(extension) > 3) extension[3] = '\0';
  if (std::strcmp(extension, m_Kind.szAssembly) == 0)
    m_FileKind = FileKind::kAssembly;
  else if (std::strcmp(extension, m_Kind.szHighLevel) == 0)
    m_FileKind = FileKind::kHighLevel;
  return true;
}

bool CShaderProgramSetup::ReadProfile(const char* autoProfile, int* firstParameter) {
  if (m_FileKind != FileKind::kHighLevel) return true;
  const CShaderCommandWords words(m_pPass);
  const char* word = words.Word(4);
  if (std::strncmp(word, "AUTO", 4) == 0) {
    if (autoProfile == nullptr) {
      Report(36, m_Kind.szConstructor);
      return false;
    }
    std::snprintf(m_szProfile, sizeof m_szProfile, "%s", autoProfile);
  } else if (std::strlen(word) == 6) {
    for (int i = 0; i < 6; ++i)
      m_szProfile[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(word[i])));
  } else {
    Report(27, m_Kind.szBadProfileSender);
    return false;
  }
  *firstParameter = 5;
  return true;
}

bool CShaderProgramSetup::ReadParameters(int first) {
  const CShaderCommandWords words(m_pPass);
  CScene* scene = CShaderTargetObjects::Scene(m_pPass->GetShader());
  for (int i = first; !words.IsEmpty(i); ++i) {
    const char* name = words.Word(i);
    // The table and the name field have fixed sizes: a line that overruns them is refused.
    if (m_dwParameters == kMaxParameters || std::strlen(name) >= kParameterNameSize) {
      Report(27, m_Kind.szConstructor);
      return false;
    }
    ShaderParameter& parameter = m_Parameters[m_dwParameters++];
    std::strcpy(parameter.szParameterName, name);
    const LightCount* count = LightCountNamed(name);
    if (count == nullptr) {
      parameter.dwValue = m_Kind.dwFixedValue;
      continue;
    }
    // At compile time the counts are the scene's; the first run takes the visible ones.
    parameter.dwDynamicID = count->dwDynamicID;
    m_dwDynamic = 1;
    if (scene != nullptr)
      parameter.dwValue = count->iType == kAllLights
                              ? scene->GetNumberOfLights()
                              : scene->GetNumberOfLightsOfType(static_cast<WORD>(count->iType));
  }
  ExpandDefault();
  return true;
}

void CShaderProgramSetup::ExpandDefault() {
  UINT found = 0;
  while (found < m_dwParameters &&
         std::strncmp(m_Parameters[found].szParameterName, "DEFAULT", 7) != 0)
    ++found;
  if (found == m_dwParameters) return;
  std::memmove(&m_Parameters[found], &m_Parameters[found + 1],
               (m_dwParameters - found - 1) * sizeof(ShaderParameter));
  m_Parameters[--m_dwParameters] = ShaderParameter{};
  CShader* shader = m_pPass->GetShader();
  const UINT own = shader->GetNumberOfParameters();
  if (own > kMaxParameters - m_dwParameters)
    FatalErrorWithTitle("Error While Compiling Shader", "%s", m_Kind.szFatal);
  const ShaderParameter* parameters = shader->GetParameters();
  const bool dropExtras = m_Kind.bHighEndDropsExtras && shader->GetTechniqueTarget() > kRadeon8500;
  for (UINT i = 0; i < own; ++i) {
    if (dropExtras && IsHighEndExtra(parameters[i].szParameterName)) continue;
    m_Parameters[m_dwParameters++] = parameters[i];
  }
}

// The program lies in the program folder inside the shader file's folder. The shader file's
// base name starts after the last separator (or character that cannot be in a name) before
// its first dot.
void CShaderProgramSetup::BuildPath(char* path, size_t size) const {
  const char* name = m_pPass->GetShader()->GetName();
  const char* end = std::strchr(name, '.');
  if (end == nullptr) end = name + std::strlen(name);
  const char* base = end;
  while (base > name) {
    const auto c = static_cast<unsigned char>(base[-1]);
    if (c == '\\' || c == '/' || c == ':' || c == 127 || c <= 44) break;
    --base;
  }
  char folder[CShader::kNameSize] = {};
  std::snprintf(folder, sizeof folder, "%.*s", static_cast<int>(base - name), name);
  std::snprintf(path, size, m_Kind.szPathFormat, folder, m_szFileName);
}

bool CShaderProgramSetup::CountVisibleLights() {
  CScene* scene = CShaderTargetObjects::Scene(m_pPass->GetShader());
  CCamera* camera = scene != nullptr ? scene->GetActiveCameraObject() : nullptr;
  if (camera == nullptr) {
    // The program held so far stays set: counts of lights nobody looks at do not matter.
    if (!m_bNoCameraLogged)
      LogTo(m_pLog, kSource, CEngineLog::kLevelError,
            "WARNING!!! - Can't Count Visible Lights For %s, Active Camera Is Null\n",
            m_szFileName);
    m_bNoCameraLogged = true;
    return false;
  }
  for (UINT i = 0; i < m_dwParameters; ++i) {
    const LightCount* count = LightCountOf(m_Parameters[i].dwDynamicID);
    if (count == nullptr) continue;
    m_Parameters[i].dwValue = count->iType == kAllLights
                                  ? camera->GetNumberOfVisibleLights()
                                  : camera->GetNumberOfVisibleLightsOfType(count->iType);
  }
  return true;
}
