#pragma once
// The engine's one owner of compiled shader files. Scenes, meshes and surfaces ask it for a
// shader by file name; it hands out the bank's shader of the same file name and parameter
// names, or compiles a new one. It owns the tokenizer every compile uses, reports the numbered
// shader errors, and keeps the stack of meshes whose passes CALL is running.
#include <string>

#include "ZKDXRecords.h"
#include "scene/MeshShaderLibrary.h"
#include "scene/SceneShaderLibrary.h"
#include "scene/SurfaceShaderLibrary.h"
#include "shaders/DefaultShaderChoice.h"
#include "shaders/ShaderLineTable.h"

class CEngineLog;
class CEngineRenderer;
class CMesh;
class CShader;
class CTokenizer;
class VFSFile;

class CShaderLibrary final : public CMeshShaderLibrary,
                             public CSurfaceShaderLibrary,
                             public CSceneShaderLibrary {
 public:
  static constexpr UINT kBankSize = 128;
  static constexpr UINT kNestedMeshes = 256;

  // `lines` says which line class each keyword makes; the engine's table unless a caller
  // brings its own.
  CShaderLibrary(CEngineRenderer* renderer, CEngineLog* log, DWORD selectedScheme,
                 DWORD compatibleSchemes, const char* shaderDirectory,
                 const CShaderLineTable& lines = CShaderLineTable::Engine());
  ~CShaderLibrary();
  CShaderLibrary(const CShaderLibrary&) = delete;
  CShaderLibrary& operator=(const CShaderLibrary&) = delete;

  CShader* CreateShaderForMesh(const char* fileName, CMesh* mesh, ShaderParameter* parameters,
                               UINT numberOfParameters) override;
  CShader* CreateShaderForSurface(const char* fileName, CSurface* surface,
                                  ShaderParameter* parameters, UINT numberOfParameters) override;
  CShader* CreateShaderForScene(const char* fileName, CScene* scene, ShaderParameter* parameters,
                                UINT numberOfParameters) override;
  UINT ApplyDefaultShaderForScene(CScene* scene) override;
  UINT ApplyDefaultShaderForMesh(CMesh* mesh) override;
  UINT ApplyDefaultShaderForSurface(CSurface* surface) override;
  // Recompiles the first bank shader of that file name; 0 when there is none or it failed.
  UINT UpdateShader(const char* fileName);
  UINT IsNestedMesh(CMesh* mesh);

  UINT GetNumberOfPasses(CShader* shader) override;
  ShaderStreamBinding* GetStreamBindings(CShader* shader, UINT pass, UINT* count) override;
  void SetDefaultStates() override;
  UINT ExecuteMeshPass(CShader* shader, const char* passName, CMesh* mesh, float value,
                       UINT passKind) override;
  UINT ExecuteSurfacePass(CShader* shader, const char* passName, CSurface* surface,
                          float value) override;

  // The bank's shader of the same file name (case counts) and the same set of parameter
  // names, or a new one; null when it cannot be compiled or the bank is full.
  CShader* CreateShader(const char* fileName, void* target, UINT targetKind,
                        ShaderParameter* parameters, UINT numberOfParameters);
  // Logs the text of `code` and who sent it; returns 1.
  UINT ReportError(UINT code, const char* sender);
  // The stack index the mesh took, or -1 when the stack is full.
  int PushNestedMesh(CMesh* mesh);
  void PopNestedMesh(CMesh* mesh);

  CTokenizer* GetTokenizer() { return m_pTokenizer; }
  const char* GetShaderDirectory() const { return m_ShaderDirectory.c_str(); }
  const CShaderLineTable& GetLineTable() const { return m_Lines; }
  UINT GetNumberOfShaders() const { return m_dwShaders; }
  // A shader file opened as text: from a mounted shader disk when one holds the name, else
  // from the shader directory. Null when it cannot be opened.
  VFSFile* OpenShaderFile(const char* fileName);

 private:
  // The settings and device facts the default shaders are chosen by, read afresh each time.
  DefaultShaderSettings ReadDefaultShaderSettings() const;
  CShader* FindInBank(const char* fileName, const ShaderParameter* parameters,
                      UINT numberOfParameters);
  CShader* CreateShaderFor(const char* what, const char* name, const char* fileName,
                           void* target, UINT targetKind, ShaderParameter* parameters,
                           UINT numberOfParameters);

  CEngineRenderer* m_pRenderer;
  CEngineLog* m_pLog;
  CTokenizer* m_pTokenizer;
  DWORD m_dwSelectedScheme;
  DWORD m_dwCompatibleSchemes;
  std::string m_ShaderDirectory;
  const CShaderLineTable& m_Lines;
  CShader* m_pBank[kBankSize] = {};
  UINT m_dwShaders = 0;
  CMesh* m_pNestedMeshes[kNestedMeshes] = {};
  UINT m_dwNestedMeshes = 0;
};

// Makes the one library; a second call is fatal.
CShaderLibrary* CreateShaderLibrary(CEngineRenderer* renderer, CEngineLog* log,
                                    DWORD selectedScheme, DWORD compatibleSchemes,
                                    const char* shaderDirectory);
// The one library, made with these arguments on the first call.
CShaderLibrary* GetShaderLibInterface(CEngineRenderer* renderer, CEngineLog* log,
                                      DWORD selectedScheme, DWORD compatibleSchemes,
                                      const char* shaderDirectory);
// The one library; fatal before it is made.
CShaderLibrary* GetShaderBankInterface();
// "Unknown Error" for a code without a text.
const char* GetShaderErrorText(UINT code);
