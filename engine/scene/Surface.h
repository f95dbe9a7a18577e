#pragma once
// One material-and-index-list of a mesh: the 16-bit triangle indices of the faces that use it,
// the index buffer made from them, a material, seven texture slots, an envelope for each
// animated material channel, and the shader that draws it. The mesh owns its surfaces; callers
// see them through CSurfaceInterface.
//
// Textures, index buffers and materials come from the renderer's banks and are given back to
// them (CSurfaceTextureImage, CCountedIndexBuffer, CSurfaceMaterial) when the surface drops
// them; a resource that does not derive from those is never given back.
#include <cstdarg>
#include <memory>
#include <vector>

#include "scene/MeshSurface.h"
#include "ZeKorbD3DHeader.h"

class CEngineLog;
class CMesh;
class LWOImportBuffer;
struct LWOSurface;
class CShader;
class CSurfaceShaderLibrary;

class CSurface final : public CMeshSurface {
 public:
  static constexpr UINT kNameLength = 256;

  // Texture kinds (the shading language's texture sources) that select a slot.
  enum : UINT {
    TEXTURE_COLOR0 = 1,
    TEXTURE_COLOR1 = 2,
    TEXTURE_MATERIAL1_RED = 7,
    TEXTURE_MATERIAL1_GREEN = 8,
    TEXTURE_MATERIAL1_BLUE = 9,
    TEXTURE_MATERIAL2_BLUE = 10,
    TEXTURE_MATERIAL1_ALPHA = 11,
    TEXTURE_COLOR0_SECOND = 12,
    TEXTURE_NORMAL = 13,
    TEXTURE_MATERIAL2_GREEN = 15,
    TEXTURE_MATERIAL2_ALPHA = 16,
    TEXTURE_MATERIAL2_RED = 17,
    TEXTURE_NORMAL_SECOND = 20,
    TEXTURE_REFLECTION = 21,
    TEXTURE_REFRACTION = 22,
  };

  // Material channels.
  enum : UINT {
    CHANNEL_DIFFUSE = 1,
    CHANNEL_SPECULAR_GLOSSINESS = 2,
    CHANNEL_SPECULAR_EXPONENT = 3,
    CHANNEL_REFRACTION = 4,
    CHANNEL_REFLECTION = 5,
    CHANNEL_TRANSPARENCY = 6,  // set and read as the opacity
    CHANNEL_FRESNEL_EXPONENT = 8,
    CHANNEL_LUMINOSITY = 9,
    CHANNEL_TRANSLUCENCY = 10,
    CHANNEL_COLOR_RED = 15,
    CHANNEL_COLOR_GREEN = 16,
    CHANNEL_COLOR_BLUE = 17,
  };

  // The texture slots, in the order the similarity test compares them.
  enum Slot : UINT {
    SLOT_COLOR0,
    SLOT_COLOR1,
    SLOT_NORMAL,
    SLOT_MATERIAL1,
    SLOT_MATERIAL2,
    SLOT_REFLECTION,
    SLOT_REFRACTION,
    SLOT_COUNT
  };

  // The empty surface of the mesh (which may be null), holding the first reference.
  CSurface(CD3D9RendererInterface* renderer, CEngineLog* log, CMesh* mesh);
  // The surface of the mesh built from an imported surface of the object: indices, material,
  // textures, flags and envelopes, described in the log. Every failure is fatal.
  CSurface(CD3D9RendererInterface* renderer, CEngineLog* log, const LWOSurface& imported,
           const LWOImportBuffer& object, CMesh* mesh);
  CSurface(const CSurface&) = delete;
  CSurface& operator=(const CSurface&) = delete;


  // --- CSurfaceInterface ---
  void AddRef() override { ++m_dwReferenceCount; }
  void Release() override;
  const char* GetName() override { return m_szName; }
  UINT SetName(const char* name) override;
  CMaterialInterface* GetMaterial(UINT /*ignored*/) override { return m_pMaterial; }
  CMeshInterface* GetParentMesh(UINT ignored) override;
  SurfaceTexture* GetColor0Texture() override { return m_Textures[SLOT_COLOR0].get(); }
  SurfaceTexture* GetColor1Texture() override { return m_Textures[SLOT_COLOR1].get(); }
  SurfaceTexture* GetNormalTexture() override { return m_Textures[SLOT_NORMAL].get(); }
  SurfaceTexture* GetMaterialTexture1() override { return m_Textures[SLOT_MATERIAL1].get(); }
  SurfaceTexture* GetMaterialTexture2() override { return m_Textures[SLOT_MATERIAL2].get(); }
  SurfaceTexture* GetTexture(UINT kind) override;
  UINT GetShadeType() override { return m_dwShadeType; }
  WORD GetFlags() override { return m_wFlags; }
  WORD GetNumberOfIndices() override { return static_cast<WORD>(m_Indices.size()); }
  float GetMaterialValue(UINT channel) override;
  const char* GetTextureFileName(UINT kind) override;
  UINT NoOperation(UINT /*value1*/, UINT /*value2*/) override { return 0; }
  UINT SetTexture(UINT kind, const char* fileName) override;
  void SetFlags(WORD flags) override { m_wFlags = flags; }
  void AddFlags(WORD flags) override { m_wFlags |= flags; }
  void SetShadingType(UINT shadeType) override { m_dwShadeType = shadeType; }
  void SetMaterialValue(UINT channel, float value) override;
  float* GetColor() override { return m_fColor; }
  UINT SetIndices(UINT count, WORD* indices) override;
  UINT CreateMaterial(D3DCOLORVALUE* diffuse, D3DCOLORVALUE* specular, D3DCOLORVALUE* emissive,
                      CVector4* additional1, CVector4* additional2, UINT unique) override;
  void SetColor(float* color) override;
  void SetAnimationTime(float time) override { m_fAnimationTime = time; }
  float GetAnimationTime() override { return m_fAnimationTime; }
  UINT CopyMaterialFrom(CSurfaceInterface* other) override;
  const char* GetShaderFileName() override { return m_szShaderFileName; }
  UINT GetShaderProgram() override { return m_dwUseShader; }
  // Draws the named pass of the surface: the rendering profile takes the surface when one is
  // loaded, else the surface's shader runs the pass with the owning mesh's frame.
  void Render(const char* passName);
  UINT CreateShader(const char* shaderName, ShaderParameter* parameters, UINT numberOfParameters,
                    UINT manualShader) override;
  UINT AssignShader(SurfaceShaderChooser chooser) override;
  UINT SetShaderFileName(const char* fileName, UINT manualShader) override;
  CEnvelopeInterface* GetColorREnvelope() override { return GetMaterialEnvelope(CHANNEL_COLOR_RED); }
  CEnvelopeInterface* GetColorGEnvelope() override {
    return GetMaterialEnvelope(CHANNEL_COLOR_GREEN);
  }
  CEnvelopeInterface* GetColorBEnvelope() override { return GetMaterialEnvelope(CHANNEL_COLOR_BLUE); }
  CEnvelopeInterface* GetDiffuseEnvelope() override { return GetMaterialEnvelope(CHANNEL_DIFFUSE); }
  CEnvelopeInterface* GetLuminosityEnvelope() override {
    return GetMaterialEnvelope(CHANNEL_LUMINOSITY);
  }
  CEnvelopeInterface* GetReflectionEnvelope() override {
    return GetMaterialEnvelope(CHANNEL_REFLECTION);
  }
  CEnvelopeInterface* GetRefractionEnvelope() override {
    return GetMaterialEnvelope(CHANNEL_REFRACTION);
  }
  CEnvelopeInterface* GetSpecularGlossinessEnvelope() override {
    return GetMaterialEnvelope(CHANNEL_SPECULAR_GLOSSINESS);
  }
  CEnvelopeInterface* GetSpecularExponentEnvelope() override {
    return GetMaterialEnvelope(CHANNEL_SPECULAR_EXPONENT);
  }
  CEnvelopeInterface* GetTransparencyEnvelope() override {
    return GetMaterialEnvelope(CHANNEL_TRANSPARENCY);
  }
  CEnvelopeInterface* GetTranslucencyEnvelope() override {
    return GetMaterialEnvelope(CHANNEL_TRANSLUCENCY);
  }
  // The Fresnel channel has no envelope.
  CEnvelopeInterface* GetFresnelEnvelope() override { return nullptr; }
  CEnvelopeInterface* GetMaterialEnvelope(UINT channel) override;
  void SetMaterialEnvelope(UINT channel, CEnvelopeInterface* envelope) override;
  // Writes texture-coordinate set 0 of the parent mesh's vertices named by the indices.
  // Indices past the mesh's vertices are skipped (and logged); a zero size maps its axis to
  // the middle of the texture. 1 when the projection ran.
  UINT ProjectTextureCoordinates(UINT projection, UINT axisBits, CVector3* centre, CVector3* size,
                                 float wrapWidth, float wrapHeight) override;

  // --- CMeshSurface ---
  void UpdateMaterial(float time) override;
  UINT ReleaseTextures() override;

  // --- engine side ---
  CMesh* GetParentMeshObject() const { return m_pParentMesh; }
  void SetParentMesh(CMesh* mesh) { m_pParentMesh = mesh; }
  SurfaceTexture* GetReflectionTexture() { return m_Textures[SLOT_REFLECTION].get(); }
  SurfaceTexture* GetRefractionTexture() { return m_Textures[SLOT_REFRACTION].get(); }
  float GetSurfaceParameter() const { return m_fClipValue; }
  void SetSurfaceParameter(float clipValue) { m_fClipValue = clipValue; }
  CShader* GetShader() const { return m_pShader; }
  void SetShader(CShader* shader) { m_pShader = shader; }
  UINT GetHasEnvelopes() const { return m_dwHasEnvelopes; }
  void SetHasEnvelopes(UINT hasEnvelopes) { m_dwHasEnvelopes = hasEnvelopes; }
  UINT GetManualShader() const { return m_dwManualShader; }
  // The shader came from the surface's own file: it is the surface's own and drawn with.
  void MarkOwnShader() {
    m_dwManualShader = 1;
    m_dwUseShader = 1;
  }
  const WORD* GetIndices() const { return m_Indices.data(); }
  // The whole list's length; GetNumberOfIndices answers in 16 bits.
  UINT GetIndexCount() const { return static_cast<UINT>(m_Indices.size()); }
  CIndexBufferInterface* GetIndexBuffer() const { return m_pIndexBuffer; }
  bool IsMaterialChannelActive(UINT channel);
  // Whether the two surfaces draw the same way; logs each step.
  bool IsSimilar(CSurface* other);
  // Appends the other surface's indices plus the offset, releases it and clears the pointer.
  UINT Merge(CSurface*& other, UINT offset);
  // Adds the offset to every index.
  UINT Remap(UINT offset);
  // A copy for the new mesh (same renderer and log), holding its first reference; null when the
  // copy cannot be made.
  CSurface* Clone(CMesh* parent);
  // Has every texture the surface holds saved as "%s.dds"; returns 1.
  UINT SaveTexturesAsDDS();
  // Gives back the slot's textures and puts a cleared record in it for a loader to fill. Without
  // memory for it the engine ends with `failure`, which takes the surface's name.
  SurfaceTexture* NewTextureRecord(
      Slot slot, const char* failure = "Can't Allocate Memory For Surface Texture: %s");
  // The parameters of the last successful CreateShader.
  const std::vector<ShaderParameter>& GetShaderParameters() const { return m_ShaderParameters; }

 private:
  // The five blocks a material is made from.
  struct MaterialBlocks {
    D3DCOLORVALUE diffuse;
    D3DCOLORVALUE specular;  // alpha: the specular exponent
    D3DCOLORVALUE emissive;
    CVector4 additional1;
    CVector4 additional2;
  };
  static constexpr UINT kEnvelopeCount = 11;

  friend class CSurfaceImport;

  ~CSurface();

  const char* ParentName() const;
  UINT ParentHasDynamicBuffers() const;
  CTextureStorageInterface* TextureStorage() const;
  // The material's blocks, or defaults (opaque black) when the surface has no material.
  MaterialBlocks ReadMaterial() const;
  // A material from the bank for the blocks, or null.
  CMaterialInterface* MakeMaterial(const MaterialBlocks& blocks) const;
  // A new material from the blocks replaces the current one, which goes back to the bank. When
  // the bank gives none the current one stays, a box says so, and the answer is false.
  bool RebuildMaterial(const MaterialBlocks& blocks);
  void ReleaseMaterial();
  void AdoptMaterial(CMaterialInterface* material);
  // The diffuse level that scales the colour into Diffuse: Diffuse over the colour's component
  // when that is not 0, else the level kept in additional vector 1.
  float DiffuseLevel(const MaterialBlocks& blocks, UINT component) const;
  bool HasColor0Texture() const { return m_Textures[SLOT_COLOR0] != nullptr; }
  // Gives back every texture of the slot and frees its record.
  void EmptySlot(Slot slot);
  // Gives back the slot's textures and sets a freshly made one in a reset record.
  UINT FillSlot(Slot slot, CTextureInterface* texture);
  UINT SetMaterialTexture(Slot slot, UINT channel, const char* fileName);
  // Gives the index buffer back, and makes one for the whole list (none for an empty list).
  bool RecreateIndexBuffer();
  bool RecreateIndexBuffer(const char* meshName);
  void ReleaseIndexBuffer();
  bool CompareEnvelopes(CSurface* other);
  bool CompareMaterials(CSurface* other);
  // Logs the failed step of the similarity test; returns false.
  bool NotSimilar(CSurface* other, const char* step);
  int EnvelopeSlot(UINT channel) const;

  CShader* m_pShader = nullptr;
  std::vector<ShaderParameter> m_ShaderParameters;
  CD3D9RendererInterface* m_pRenderer;
  std::vector<WORD> m_Indices;
  CIndexBufferInterface* m_pIndexBuffer = nullptr;
  CEngineLog* m_pLog;
  char m_szName[kNameLength] = {};
  char m_szShaderFileName[kNameLength] = {};
  CMaterialInterface* m_pMaterial = nullptr;
  CMesh* m_pParentMesh;
  std::unique_ptr<SurfaceTexture> m_Textures[SLOT_COUNT];
  // Colour R, G, B, diffuse, specular glossiness, specular exponent, luminosity, reflection,
  // refraction, transparency, translucency.
  std::unique_ptr<CEnvelopeInterface> m_Envelopes[kEnvelopeCount];
  float m_fColor[3] = {};
  float m_fClipValue = 0.5f;
  float m_fAnimationTime = -1.0f;
  UINT m_dwReferenceCount = 0;
  UINT m_dwShadeType = 0;
  UINT m_dwUseShader = 0;
  UINT m_dwManualShader = 0;
  UINT m_dwHasEnvelopes = 0;
  WORD m_wFlags = 0;
};
