#include "shaders/Shader.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <new>

#include "core/EngineLog.h"
#include "scene/Mesh.h"
#include "scene/Scene.h"
#include "scene/Surface.h"
#include "shaders/ShaderFileLines.h"
#include "shaders/ShaderLibrary.h"
#include "shaders/ShaderLine.h"
#include "shaders/ShaderPass.h"
#include "shaders/ShaderProgramFileLine.h"

namespace {

const char kSource[] = "Shader";
const char kSender[] = "CShader";

struct Technique {
  const char* szTarget;  // as the file names it
  DWORD dwScheme;
  const char* szPath;    // as the log names it
};

constexpr Technique kTechniques[] = {
    {"GEFORCE2", 2, "GeForce2"},       {"GEFORCE3", 4, "GeForce3"},
    {"GEFORCE4", 8, "GeForce4"},       {"GEFORCEFX", 64, "GeForceFX"},
    {"GEFORCE6800", 256, "GeForce6800"}, {"RADEON8500", 16, "Radeon8500"},
    {"RADEON9700", 32, "Radeon9700"},   {"RADEONX800", 128, "RadeonX800"},
};

// Strongest first: a device that lacks its own technique runs the next weaker one it may.
constexpr DWORD kFallbackOrder[] = {256, 128, 32, 64, 16, 8, 4, 2};

// The technique a BEGINTECHNIQUE TARGET line opens, or null for any other line.
const Technique* TechniqueOf(const CShaderFileLines& lines) {
  if (!lines.WordBeginsWith(0, "BEGINTECHNIQUE") || !lines.WordBeginsWith(1, "TARGET"))
    return nullptr;
  for (const Technique& technique : kTechniques)
    if (lines.WordBeginsWith(2, technique.szTarget)) return &technique;
  return nullptr;
}

const char* KindWord(UINT targetKind) {
  switch (targetKind) {
    case SHADER_TARGET_MESH: return "MESH";
    case SHADER_TARGET_SURFACE: return "SURFACE";
    case SHADER_TARGET_SCENE: return "SCENE";
    default: return nullptr;
  }
}

}  // namespace

CShader::CShader(CShaderLibrary* library, CEngineRenderer* renderer, CEngineLog* log,
                 const char* fileName, void* target, UINT targetKind, DWORD selectedScheme,
                 DWORD compatibleSchemes, const ShaderParameter* parameters,
                 UINT numberOfParameters, UINT* success)
    : m_pLibrary(library),
      m_pRenderer(renderer),
      m_pLog(log),
      m_dwTechniqueTarget(selectedScheme),
      m_dwCompatibleSchemes(compatibleSchemes),
      m_dwTargetKind(targetKind),
      m_pTarget(target) {
  *success = 0;
  if (fileName == nullptr) fileName = "";
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "  - Compiling Shader (%s)...\n", fileName);
  // The name is the bank's key: a name that does not fit is refused rather than cut.
  if (std::strlen(fileName) >= kNameSize) {
    ReportError(1, kSender);
    return;
  }
  std::strcpy(m_szFileName, fileName);
  if (parameters != nullptr && numberOfParameters > 0) {
    m_pParameters = new (std::nothrow) ShaderParameter[numberOfParameters];
    if (m_pParameters == nullptr) {
      ReportError(4, kSender);
      return;
    }
    std::memcpy(m_pParameters, parameters, numberOfParameters * sizeof(ShaderParameter));
    m_dwParameters = numberOfParameters;
  }
  if (Compile()) *success = 1;
}

CShader::~CShader() {
  DiscardPasses();
  delete[] m_pParameters;
}

UINT CShader::ReportError(UINT code, const char* sender) {
  return m_pLibrary->ReportError(code, sender);
}

bool CShader::Compile() {
  VFSFile* file = m_pLibrary->OpenShaderFile(m_szFileName);
  if (file == nullptr) {
    ReportError(1, kSender);
    return false;
  }
  CShaderFileLines lines(file, m_pLibrary->GetTokenizer());
  const bool compiled = CompileFile(lines);
  file->Close();
  return compiled;
}

bool CShader::CompileFile(CShaderFileLines& lines) {
  VFSFile* file = lines.GetFile();
  LONG length = 0;
  if (file->Seek(0, 2) == 0) length = file->Tell();
  if (length <= 0 || !lines.Seek(0)) {
    ReportError(2, kSender);
    return false;
  }
  if (!CheckTypeLines(lines)) return false;
  if (!lines.Seek(0)) {
    ReportError(2, kSender);
    return false;
  }
  const LONG technique = FindTechnique(lines);
  if (technique < 0) {
    ReportError(3, kSender);
    return false;
  }
  UINT count = 0;
  if (!lines.Seek(technique) || !CountPasses(lines, &count)) return false;
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "    - %i Passes\n", static_cast<int>(count));
  if (!lines.Seek(technique)) {
    ReportError(2, kSender);
    return false;
  }
  m_pPasses = new (std::nothrow) CShaderPass*[count > 0 ? count : 1]();
  if (m_pPasses == nullptr) {
    ReportError(4, kSender);
    return false;
  }
  return CompilePasses(lines, count);
}

bool CShader::CheckTypeLines(CShaderFileLines& lines) {
  while (lines.Next()) {
    if (std::strcmp(lines.Word(0), "#") != 0 || !lines.WordBeginsWith(1, "TYPE")) return true;
    const char* kind = KindWord(m_dwTargetKind);
    if (kind == nullptr) {
      ReportError(256, kSender);
      return false;
    }
    if (!lines.WordBeginsWith(2, kind)) {
      ReportError(33, kSender);
      return false;
    }
  }
  return true;
}

LONG CShader::FindTechnique(CShaderFileLines& lines) {
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "    - Looking For Adequate Technique (%i)...\n",
        static_cast<int>(m_dwTechniqueTarget));
  DWORD implemented = 0;
  while (lines.Next())
    if (const Technique* technique = TechniqueOf(lines)) {
      implemented |= technique->dwScheme;
      LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "      - Implemented Path %s...\n",
            technique->szPath);
    }
  const DWORD chosen = ChooseScheme(implemented);
  if (chosen == 0 || !lines.Seek(0)) return -1;
  for (;;) {
    const LONG start = lines.Tell();
    if (!lines.Next()) return -1;
    const Technique* technique = TechniqueOf(lines);
    if (technique != nullptr && technique->dwScheme == chosen) {
      m_dwTechniqueTarget = chosen;
      LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "      - Target: %i...\n",
            static_cast<int>(chosen));
      return start;
    }
  }
}

DWORD CShader::ChooseScheme(DWORD implemented) const {
  if ((implemented & m_dwTechniqueTarget) != 0) return m_dwTechniqueTarget;
  const DWORD* end = std::end(kFallbackOrder);
  const DWORD* next = std::find(std::begin(kFallbackOrder), end, m_dwTechniqueTarget);
  if (next == end) return 0;
  for (++next; next != end; ++next)
    if ((*next & implemented & m_dwCompatibleSchemes) != 0) return *next;
  return 0;
}

// Reads from the BEGINTECHNIQUE line to its ENDTECHNIQUE line.
bool CShader::CountPasses(CShaderFileLines& lines, UINT* count) {
  lines.Next();
  for (;;) {
    if (!lines.Next()) {
      ReportError(2, kSender);  // a technique must end before its file does
      return false;
    }
    if (lines.WordBeginsWith(0, "ENDTECHNIQUE")) return true;
    if (lines.WordBeginsWith(0, "BEGINPASS")) ++*count;
  }
}

bool CShader::CompilePasses(CShaderFileLines& lines, UINT capacity) {
  lines.Next();
  for (;;) {
    if (!lines.Next()) {
      ReportError(2, kSender);
      return false;
    }
    if (lines.WordBeginsWith(0, "ENDTECHNIQUE")) return true;
    if (!lines.WordBeginsWith(0, "BEGINPASS")) continue;
    UINT compiled = 0;
    CShaderPass* pass = m_dwPasses < capacity
                            ? new (std::nothrow) CShaderPass(this, m_pRenderer, m_pLog, lines,
                                                             m_dwPasses, m_pParameters,
                                                             m_dwParameters, &compiled)
                            : nullptr;
    if (pass == nullptr || compiled == 0) {
      delete pass;
      ReportError(5, kSender);
      return false;
    }
    m_pPasses[m_dwPasses++] = pass;
  }
}

void CShader::DiscardPasses() {
  for (UINT i = 0; i < m_dwPasses; ++i) delete m_pPasses[i];
  delete[] m_pPasses;
  m_pPasses = nullptr;
  m_dwPasses = 0;
}

UINT CShader::Update() {
  DiscardPasses();
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "  - Updating Shader...\n");
  return Compile() ? 1 : 0;
}

CShaderPass* CShader::GetPass(UINT index) {
  return index < m_dwPasses ? m_pPasses[index] : nullptr;
}

CShaderPass* CShader::FindPass(const char* name) {
  for (UINT i = 0; i < m_dwPasses; ++i)
    if (std::strcmp(m_pPasses[i]->GetName(), name) == 0) return m_pPasses[i];
  return nullptr;
}

CMesh* CShader::GetTargetMesh() {
  if (m_pTarget == nullptr) return nullptr;
  if (m_dwTargetKind == SHADER_TARGET_MESH) return static_cast<CMesh*>(m_pTarget);
  if (m_dwTargetKind == SHADER_TARGET_SURFACE)
    return static_cast<CSurface*>(m_pTarget)->GetParentMeshObject();
  return nullptr;
}

CScene* CShader::GetTargetScene() {
  if (m_dwTargetKind == SHADER_TARGET_SCENE) return static_cast<CScene*>(m_pTarget);
  CMesh* mesh = GetTargetMesh();
  return mesh != nullptr ? static_cast<CWorldObject*>(mesh)->GetOwnerScene() : nullptr;
}

UINT CShader::GetNumberOfPasses() { return m_dwPasses; }
const char* CShader::GetName() { return m_szFileName; }
ShaderParameter* CShader::GetParameters() { return m_pParameters; }
UINT CShader::GetNumberOfParameters() { return m_dwParameters; }

template <class Entry, class Take>
UINT CShader::Collect(UINT pass, UINT type, UINT* count, Entry* out, Take take) {
  const UINT room = *count;
  *count = 0;
  CShaderPass* walked = GetPass(pass);
  if (walked == nullptr || room == 0) return 0;
  for (UINT i = 0; i < walked->GetNumberOfLines(); ++i) {
    CShaderLine* line = walked->GetLine(i);
    if (line->GetKind() != SHADER_LINE_COMMAND || line->GetType() != type) continue;
    if (!take(line, &out[*count])) continue;
    if (++*count == room) return 0;
  }
  return 1;
}

UINT CShader::GetVertexDeclarations(UINT pass, UINT* count, ShaderDeclarationEntry* out) {
  return Collect(pass, SHADER_COMMAND_SET_VERTEX_DECLARATION, count, out,
                 [](CShaderLine* line, ShaderDeclarationEntry* entry) {
                   auto* declaration = dynamic_cast<CShaderDeclarationLine*>(line);
                   if (declaration == nullptr) return false;
                   *entry = {declaration->GetDeclarationElements(), declaration->GetGeometry()};
                   return true;
                 });
}

namespace {

bool TakeProgramFile(CShaderLine* line, const char** name) {
  auto* program = dynamic_cast<CShaderProgramFileLine*>(line);
  if (program == nullptr) return false;
  *name = program->GetProgramFileName();
  return true;
}

}  // namespace

UINT CShader::GetVertexShaders(UINT pass, UINT* count, const char** out) {
  return Collect(pass, SHADER_COMMAND_SET_VERTEX_SHADER, count, out, TakeProgramFile);
}

UINT CShader::GetPixelShaders(UINT pass, UINT* count, const char** out) {
  return Collect(pass, SHADER_COMMAND_SET_PIXEL_SHADER, count, out, TakeProgramFile);
}

UINT CShader::ExecuteMeshPass(const char* passName, CMesh* mesh, float value) {
  return ExecuteMeshPassOfKind(passName, mesh, value, 0);
}

UINT CShader::ExecuteMeshPassOfKind(const char* passName, CMesh* mesh, float value,
                                    UINT passKind) {
  m_fRunValue = value;
  if (m_dwTargetKind != SHADER_TARGET_MESH) return 0;
  m_pTarget = mesh;
  return RunFirstPass(passName, mesh, passKind);
}

UINT CShader::ExecuteSurfacePass(const char* passName, CSurface* surface, float value) {
  m_fRunValue = value;
  if (m_dwTargetKind != SHADER_TARGET_SURFACE) return 0;
  m_pTarget = surface;
  return RunFirstPass(passName, surface != nullptr ? surface->GetParentMeshObject() : nullptr, 0);
}

UINT CShader::RunFirstPass(const char* passName, CMesh* mesh, UINT passKind) {
  for (UINT i = 0; i < m_dwPasses; ++i) {
    CShaderPass* pass = m_pPasses[i];
    if (std::strcmp(pass->GetName(), passName) != 0) continue;
    const UINT kind = pass->GetPassKind();
    bool runs = kind == passKind;
    if (passKind == 0) {
      const UINT dynamic = mesh != nullptr ? mesh->GetIsDynamic() : 0;
      runs = kind == SHADER_PASS_NORMAL ||
             (kind == SHADER_PASS_STATIC_SHADOW_VOLUME && mesh != nullptr && dynamic == 0) ||
             (kind == SHADER_PASS_DYNAMIC_SHADOW_VOLUME && mesh != nullptr && dynamic == 1);
    }
    if (runs) return pass->Execute();
  }
  return 0;
}

namespace {

// Whether each colour byte of the ambient light, scaled by its intensity, still shows.
bool AmbientShows(CScene* scene) {
  const ColorByte* colour = scene->GetColor();
  CEnvelopeInterface* intensity = scene->GetAmbLightIntensityEnvelope();
  const float scale = intensity != nullptr ? intensity->GetValue() : 0.0f;
  return colour->cRed * scale > 0.01f && colour->cGreen * scale > 0.01f &&
         colour->cBlue * scale > 0.01f;
}

}  // namespace

UINT CShader::ExecuteScenePasses(CScene* scene, float value) {
  m_fRunValue = value;
  if (m_dwTargetKind != SHADER_TARGET_SCENE || scene == nullptr) return 0;
  m_pTarget = scene;
  for (UINT i = 0; i < m_dwPasses; ++i) {
    CShaderPass* pass = m_pPasses[i];
    if (pass->GetCallMode() == SHADER_CALL_ONLY_CALLABLE) continue;
    if (pass->GetPassKind() == SHADER_PASS_AMBIENT && !AmbientShows(scene)) continue;
    pass->Execute();
  }
  return 1;
}
