#pragma once
// FOREACH kind: visits the scene's lights (all, or of one type), its meshes (all, or the
// transparent ones) or the current mesh's surfaces, making each in turn the current one for the
// lines up to its ENDFOR, which sends the pass back here. When none is left the pass goes on
// after the ENDFOR, and the last object visited stays current.
#include "shaders/ShaderBlockStart.h"
#include "shaders/ShaderLine.h"
#include "shaders/ShaderLineTable.h"

class CScene;
class CShaderPass;
class CShaderProgramEndFor;

class CShaderProgramForEach final : public CShaderLine, public CShaderBlockStart {
 public:
  enum : UINT {
    kLight = 1,
    kDistantLight = 2,
    kPointLight = 3,
    kSpotLight = 4,
    kMesh = 5,
    kSurface = 6,
    kTransparentMesh = 7,
  };

  explicit CShaderProgramForEach(const ShaderLineArguments& arguments);

  UINT GetKind() override { return SHADER_LINE_COMMAND; }
  // Makes the next object current, or ends the loop; 0 when the shader's target has no scene.
  UINT Execute() override;
  UINT GetType() override { return SHADER_COMMAND_FOREACH; }
  int GetSkip() override { return m_iSkip; }
  bool IsBlockClosed() const override { return m_pEndFor != nullptr; }

  void LinkEndFor(CShaderProgramEndFor* endFor) { m_pEndFor = endFor; }
  UINT GetIndex() const { return m_dwIndex; }
  UINT GetObjectKind() const { return m_dwObjectKind; }
  // Where the loop stands: the index of the next object to visit, 0 outside a loop.
  UINT GetNextIndex() const { return m_dwNextIndex; }
  void SetNextIndex(UINT index) { m_dwNextIndex = index; }

 private:
  // Makes the next object of the kind current; false when none is left.
  bool VisitNext(CScene* scene);
  bool VisitNextLight(CScene* scene, int type);
  bool VisitNextMesh(CScene* scene, bool transparentOnly);
  bool VisitNextSurface(CScene* scene);

  CShaderPass* m_pPass;
  UINT m_dwObjectKind = 0;
  UINT m_dwIndex;
  UINT m_dwNextIndex = 0;
  int m_iSkip = 0;
  CShaderProgramEndFor* m_pEndFor = nullptr;
};

CShaderLine* MakeShaderProgramForEach(const ShaderLineArguments& arguments);
