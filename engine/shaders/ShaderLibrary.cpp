#include "shaders/ShaderLibrary.h"

#include <cstring>
#include <string>
#include <vector>

#include "core/CopyName.h"
#include "core/EngineContext.h"
#include "core/EngineLog.h"
#include "core/FatalError.h"
#include "core/Tokenizer.h"
#include "d3d/EngineRenderer.h"
#include "scene/Mesh.h"
#include "scene/Scene.h"
#include "scene/Surface.h"
#include "shaders/Shader.h"
#include "shaders/ShaderDeclarationLine.h"
#include "shaders/ShaderPass.h"

namespace {

const char kSource[] = "ShaderLib";
const char kInitTitle[] = "Error While Initializing Shader Library";

CShaderLibrary* g_pShaderLibrary = nullptr;

const char* const kErrorTexts[] = {
    nullptr,
    "(1) Can't Open Shader File, Check If The File Exists Or Its Directory Is Correct ie. "
    "s:\\!!Shaders",
    "(2) Shader File Is Corrupted, Check If It's Correct Shader File Or You Have Enuff Free Space "
    "On Your Hard Drive",
    "(3) Can't Find Adequate Technique, Make Sure You Have Implemented Correct Technique And "
    "Minimum Scheme In Engine's Configuration Is OK",
    "(4) Can't Allocate Memory",
    "(5) Can't Compile Shader Pass, Check If There Was Previous Errors Or The File Is Correct",
    "(6) Can't Create Shader Due To Previous Errors",
    "(7) Can't Get Pass Name, Make Sure You Have Used Letters In Pass Name And If The File Is "
    "Correct",
    "(8) Incorrect Pass Flag, Look Into Manual What Flags May Be Used Or Check If You Typed The "
    "Flag Correctly In The Shader File",
    "(9) Can't Create Shader Line, Make Sure You Used Correct Shader File",
    "(10) Can't Initialize Variable, Make Sure You Used Correct Shader File",
    "(11) Can't Compile Expression",
    "(12) Can't Create Variable Node",
    "(13) Defining Variable Needs To Set It In Default Value",
    "(14) Incorrect Initialization Value For Variable",
    "(15) Incompatible Values Type",
    "(16) Implementation Error",
    "(17) Not Implemented Yet",
    "(18) Can't Execute Surface Values",
    "(19) Can't Execute Mesh Values",
    "(20) Can't Execute Camera Values",
    "(21) Can't Execute Light Values",
    "(22) Can't Execute Scene Values",
    "(23) Can't Execute System Values",
    "(24) Multiple Definition",
    "(25) Error In Expression",
    "(26) Need To Specified Child Pass Name",
    "(27) Can't Compile Program Line",
    "(28) Incorrect Pixel Shader File",
    "(29) Can't Compile Pixel Shader",
    "(30) Incorrect Vertex Shader File",
    "(31) Can't Compile Vertex Shader",
    "(32) Can't Create vertex Declaration",
    "(33) Wrong Shader Parent, Check #TYPE Value",
    "(34) Undefined #IFDEF Statement",
    "(35) Incorrect Modifier Value, You Can Need Matrix Modifiers Only With Matrix Value, And The "
    "Vector's Ones With Vectors",
    "(36) Not Enuff Capabilities To Execute The Command (ie trying to run pixel shader on GF2 "
    "class card)",
};

// Parameter names compare as whole texts within their field.
bool SameName(const ShaderParameter& a, const ShaderParameter& b) {
  return strncmp(a.szParameterName, b.szParameterName, sizeof a.szParameterName) == 0;
}

}  // namespace

const char* GetShaderErrorText(UINT code) {
  if (code > 0 && code < std::size(kErrorTexts)) return kErrorTexts[code];
  if (code == 100) return "(100) Can't Use \"Render\" In Surface Shader";
  if (code == 256) return "(256) Implementation Error";
  return "Unknown Error";
}

CShaderLibrary::CShaderLibrary(CEngineRenderer* renderer, CEngineLog* log, DWORD selectedScheme,
                               DWORD compatibleSchemes, const char* shaderDirectory,
                               const CShaderLineTable& lines)
    : m_pRenderer(renderer),
      m_pLog(log),
      m_pTokenizer(NewOrFatal<CTokenizer>(kInitTitle, "Can't Create Tokenizer Object", log)),
      m_dwSelectedScheme(selectedScheme),
      m_dwCompatibleSchemes(compatibleSchemes),
      m_ShaderDirectory(shaderDirectory != nullptr ? shaderDirectory : ""),
      m_Lines(lines) {
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo,
        "- Initializing ZeKorb Shader Library [%i Free Entries]\n", static_cast<int>(kBankSize));
}

CShaderLibrary::~CShaderLibrary() {
  for (UINT i = 0; i < m_dwShaders; ++i) delete m_pBank[i];
  delete m_pTokenizer;
  if (g_pShaderLibrary == this) g_pShaderLibrary = nullptr;
}

CShader* CShaderLibrary::CreateShaderForMesh(const char* fileName, CMesh* mesh,
                                             ShaderParameter* parameters,
                                             UINT numberOfParameters) {
  return CreateShaderFor("Mesh", mesh != nullptr ? mesh->GetName() : "", fileName, mesh,
                         SHADER_TARGET_MESH, parameters, numberOfParameters);
}

CShader* CShaderLibrary::CreateShaderForSurface(const char* fileName, CSurface* surface,
                                                ShaderParameter* parameters,
                                                UINT numberOfParameters) {
  return CreateShaderFor("Surface", surface != nullptr ? surface->GetName() : "", fileName,
                         surface, SHADER_TARGET_SURFACE, parameters, numberOfParameters);
}

CShader* CShaderLibrary::CreateShaderForScene(const char* fileName, CScene* scene,
                                              ShaderParameter* parameters,
                                              UINT numberOfParameters) {
  return CreateShaderFor("Scene", scene != nullptr ? scene->GetName() : "", fileName, scene,
                         SHADER_TARGET_SCENE, parameters, numberOfParameters);
}

CShader* CShaderLibrary::CreateShaderFor(const char* what, const char* name,
                                         const char* fileName, void* target, UINT targetKind,
                                         ShaderParameter* parameters, UINT numberOfParameters) {
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "- Creating Shader %s For %s: %s...\n",
        fileName != nullptr ? fileName : "", what, name != nullptr ? name : "");
  return CreateShader(fileName, target, targetKind, parameters, numberOfParameters);
}

namespace {

const char kNoHdr[] = "HDR Lighting Not Yet Fully Implemented";

// The parameter records of a default shader: every one set, none dynamic.
std::vector<ShaderParameter> DefaultParameters(const DefaultShader& chosen) {
  std::vector<ShaderParameter> parameters(chosen.parameters.size());
  for (size_t i = 0; i < parameters.size(); ++i) {
    parameters[i].dwValue = 1;
    parameters[i].dwDynamicID = 0;
    CopyName(parameters[i].szParameterName, chosen.parameters[i].c_str());
  }
  return parameters;
}

UINT LightingModelOf(CSceneInterface* scene) {
  return scene != nullptr ? scene->GetLightingModel() : 0;
}

}  // namespace

DefaultShaderSettings CShaderLibrary::ReadDefaultShaderSettings() const {
  return CDefaultShaderChoice::ReadSettings(GetEngineContext()->pSettings, m_dwSelectedScheme);
}

UINT CShaderLibrary::ApplyDefaultShaderForScene(CScene* scene) {
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "- Applying Default Shader For Scene: %s\n",
        scene->GetName());
  scene->ClearShader();
  scene->SetShaderFile("none", 0);
  const UINT model = scene->GetLightingModel();
  if (model == 4) FatalErrorWithTitle("Error", kNoHdr);
  bool anyCaster = false;
  for (UINT i = 0; i < scene->GetNumberOfMeshes() && !anyCaster; ++i) {
    CMeshInterface* mesh = scene->GetMesh(i);
    anyCaster = mesh != nullptr && mesh->GetCanCastShadowVolume() == 1;
  }
  UINT profile = 0;
  if (!CDefaultShaderChoice::SceneProfile(model, anyCaster, ReadDefaultShaderSettings(), &profile))
    return 0;
  scene->SetShadowMode(profile);
  return 1;
}

UINT CShaderLibrary::ApplyDefaultShaderForMesh(CMesh* mesh) {
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "- Applying Default Shader For Mesh: %s\n",
        mesh->GetName());
  mesh->SetShader(nullptr);
  mesh->SetShaderFile("none", 0);
  const UINT model = LightingModelOf(mesh->GetOwnerScene());
  if (model == 4) FatalErrorWithTitle("Error", kNoHdr);
  const DefaultShader chosen = CDefaultShaderChoice::ForMesh(
      model, CDefaultShaderChoice::GatherMesh(*mesh), ReadDefaultShaderSettings());
  if (!chosen.file.empty()) {
    std::vector<ShaderParameter> parameters = DefaultParameters(chosen);
    mesh->CreateShader(chosen.file.c_str(), parameters.data(),
                       static_cast<UINT>(parameters.size()), 0);
  }
  if (mesh->GetShader() != nullptr) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "- Default Shader Applied: %s\n",
          mesh->GetShaderFileName());
    return 1;
  }
  LogTo(m_pLog, kSource, CEngineLog::kLevelError, "Can't Apply Default Shader For %s\n",
        mesh->GetName());
  LogTo(m_pLog, kSource, CEngineLog::kLevelError, "FAILED\n");
  return 0;
}

UINT CShaderLibrary::ApplyDefaultShaderForSurface(CSurface* surface) {
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "- Applying Default Shader For Surface: %s\n",
        surface->GetName());
  surface->SetShader(nullptr);
  surface->SetShaderFileName("none", 0);
  CMesh* mesh = surface->GetParentMeshObject();
  const UINT model = LightingModelOf(mesh != nullptr ? mesh->GetOwnerScene() : nullptr);
  if (model == 4) FatalErrorWithTitle("Error", kNoHdr);
  const DefaultShader chosen = CDefaultShaderChoice::ForSurface(
      model, CDefaultShaderChoice::GatherSurface(*surface), ReadDefaultShaderSettings());
  if (!chosen.file.empty()) {
    std::vector<ShaderParameter> parameters = DefaultParameters(chosen);
    surface->CreateShader(chosen.file.c_str(), parameters.data(),
                          static_cast<UINT>(parameters.size()), 0);
  }
  if (surface->GetShader() != nullptr) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "- Default Shader Applied: %s\n",
          surface->GetShaderFileName());
    return 1;
  }
  LogTo(m_pLog, kSource, CEngineLog::kLevelError, "Can't Apply Default Shader For Surface: %s\n",
        surface->GetName());
  LogTo(m_pLog, kSource, CEngineLog::kLevelError, "FAILED\n");
  return 0;
}

CShader* CShaderLibrary::CreateShader(const char* fileName, void* target, UINT targetKind,
                                      ShaderParameter* parameters, UINT numberOfParameters) {
  if (parameters == nullptr) numberOfParameters = 0;
  for (UINT i = 0; i < numberOfParameters; ++i)
    LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "  - Parameter %i: %.*s\n",
          static_cast<int>(i), static_cast<int>(sizeof parameters[i].szParameterName),
          parameters[i].szParameterName);
  if (fileName == nullptr) fileName = "";
  if (CShader* shared = FindInBank(fileName, parameters, numberOfParameters)) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "  - Loading Shader From Bank ( %s )\n",
          fileName);
    return shared;
  }
  // A full bank takes no more shaders: the request fails as a failed compile does.
  CShader* shader = nullptr;
  if (m_dwShaders < kBankSize) {
    UINT compiled = 0;
    shader = new (std::nothrow)
        CShader(this, m_pRenderer, m_pLog, fileName, target, targetKind, m_dwSelectedScheme,
                m_dwCompatibleSchemes, parameters, numberOfParameters, &compiled);
    if (shader != nullptr && compiled == 0) {
      delete shader;
      shader = nullptr;
    }
  }
  if (shader == nullptr) {
    ReportError(6, "CreateShader");
    return nullptr;
  }
  m_pBank[m_dwShaders++] = shader;
  return shader;
}

CShader* CShaderLibrary::FindInBank(const char* fileName, const ShaderParameter* parameters,
                                    UINT numberOfParameters) {
  for (UINT i = 0; i < m_dwShaders; ++i) {
    CShader* shader = m_pBank[i];
    if (std::strcmp(shader->GetName(), fileName) != 0 ||
        shader->GetNumberOfParameters() != numberOfParameters)
      continue;
    const ShaderParameter* own = shader->GetParameters();
    bool every = true;
    for (UINT p = 0; p < numberOfParameters && every; ++p) {
      bool found = false;
      for (UINT q = 0; q < numberOfParameters && !found; ++q) found = SameName(parameters[p], own[q]);
      every = found;
    }
    if (every) return shader;
  }
  return nullptr;
}

UINT CShaderLibrary::UpdateShader(const char* fileName) {
  if (fileName == nullptr) return 0;
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "- Updating Shader: %s\n", fileName);
  for (UINT i = 0; i < m_dwShaders; ++i)
    if (std::strcmp(m_pBank[i]->GetName(), fileName) == 0) return m_pBank[i]->Update();
  return 0;
}

UINT CShaderLibrary::ReportError(UINT code, const char* sender) {
  LogTo(m_pLog, kSource, CEngineLog::kLevelError, "ERROR! - %s\n        Sent By: %s\n",
        GetShaderErrorText(code), sender != nullptr ? sender : "");
  return 1;
}

int CShaderLibrary::PushNestedMesh(CMesh* mesh) {
  if (m_dwNestedMeshes >= kNestedMeshes) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "WARNING!!! - ShaderLib: Nested Meshes Stack Exceeded\n");
    return -1;
  }
  m_pNestedMeshes[m_dwNestedMeshes] = mesh;
  return static_cast<int>(m_dwNestedMeshes++);
}

void CShaderLibrary::PopNestedMesh(CMesh* mesh) {
  if (m_dwNestedMeshes == 0 || m_pNestedMeshes[m_dwNestedMeshes - 1] != mesh) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "WARNING!!! - ShaderLib: Can't Remove Nested Mesh, Incorrect Pointers\n");
    return;
  }
  m_pNestedMeshes[--m_dwNestedMeshes] = nullptr;
}

UINT CShaderLibrary::IsNestedMesh(CMesh* mesh) {
  for (UINT i = 0; i < m_dwNestedMeshes; ++i)
    if (m_pNestedMeshes[i] == mesh) return 1;
  return 0;
}

VFSFile* CShaderLibrary::OpenShaderFile(const char* fileName) {
  CVirtualFileSystemInterface* files = GetEngineContext()->pVirtualFileSystem;
  if (files == nullptr) return nullptr;
  if (files->LocateShaderFile(fileName) == VFS_SOURCE_ARCHIVE)
    return files->OpenShaderFile(fileName, "rt");
  const std::string path = m_ShaderDirectory + "\\" + fileName;
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "    - File Path Is: %s\n", path.c_str());
  return files->OpenShaderFile(path.c_str(), "rt");
}

UINT CShaderLibrary::GetNumberOfPasses(CShader* shader) {
  return shader != nullptr ? shader->GetNumberOfPasses() : 0;
}

// Each declaration of the pass draws from the geometry it names; the mesh binds its buffers
// to those streams.
ShaderStreamBinding* CShaderLibrary::GetStreamBindings(CShader* shader, UINT pass, UINT* count) {
  UINT found = MAX_SHADER_STREAM_BINDINGS;
  ShaderDeclarationEntry declarations[MAX_SHADER_STREAM_BINDINGS] = {};
  CShaderPass* walked = shader != nullptr ? shader->GetPass(pass) : nullptr;
  if (walked == nullptr) found = 0;
  else shader->GetVertexDeclarations(pass, &found, declarations);
  if (count != nullptr) *count = found;
  if (walked == nullptr) return nullptr;
  ShaderStreamBinding* bindings = walked->GetStreamBindings();
  for (UINT i = 0; i < found; ++i) bindings[i] = {declarations[i].dwGeometry, nullptr, declarations[i].pElements};
  return bindings;
}

UINT CShaderLibrary::ExecuteMeshPass(CShader* shader, const char* passName, CMesh* mesh,
                                     float value, UINT passKind) {
  return shader->ExecuteMeshPassOfKind(passName, mesh, value, passKind);
}

UINT CShaderLibrary::ExecuteSurfacePass(CShader* shader, const char* passName, CSurface* surface,
                                        float value) {
  return shader->ExecuteSurfacePass(passName, surface, value);
}

void CShaderLibrary::SetDefaultStates() {
  if (m_pRenderer != nullptr) m_pRenderer->SetDefaultStates();
}

CShaderLibrary* CreateShaderLibrary(CEngineRenderer* renderer, CEngineLog* log,
                                    DWORD selectedScheme, DWORD compatibleSchemes,
                                    const char* shaderDirectory) {
  if (g_pShaderLibrary != nullptr)
    FatalErrorWithTitle("Error While Initializing ShaderLibrary", "Already Initialized");
  g_pShaderLibrary = NewOrFatal<CShaderLibrary>(kInitTitle, "Can't Allocate Memory", renderer, log,
                                                selectedScheme, compatibleSchemes,
                                                shaderDirectory);
  return g_pShaderLibrary;
}

CShaderLibrary* GetShaderLibInterface(CEngineRenderer* renderer, CEngineLog* log,
                                      DWORD selectedScheme, DWORD compatibleSchemes,
                                      const char* shaderDirectory) {
  if (g_pShaderLibrary == nullptr)
    CreateShaderLibrary(renderer, log, selectedScheme, compatibleSchemes, shaderDirectory);
  return g_pShaderLibrary;
}

CShaderLibrary* GetShaderBankInterface() {
  if (g_pShaderLibrary == nullptr)
    FatalErrorWithTitle("Error In Shader Bank Interface", "Hasn't Been Initialized");
  return g_pShaderLibrary;
}
