#pragma once
// A renderer for tests of drawing paths on the fixed pipeline: writes, in order, into one call
// list every render and texture-stage state, transform, device light, draw, vertex format,
// declaration and stream setting, texture and material setting that reaches it or its banks
// ("state 7=1", "stage 1 1=2", "draw 2", "line", "no texture 1", ...).
// Vertex buffers and the declaration it makes record themselves into the same list; the
// dynamic vertex buffer and the enumeration are the test's to hand in.
#include <memory>
#include <string>
#include <vector>

#include "NullTextureStorage.h"
#include "RecordingShaderBanks.h"
#include "d3d/EngineRenderer.h"
#include "d3d/MeshVertexBuffer.h"
#include "d3d/VertexElements.h"

class RecordingPassRenderer final : public CEngineRenderer,
                                    public CVertexDeclarationStorageInterface,
                                    public CVertexBufferStorageInterface,
                                    public CMaterialStorageInterface,
                                    public NullTextureStorage {
 public:
  class Declaration final : public CVertexDeclarationInterface {
   public:
    Declaration(std::vector<std::string>& log, const D3DVERTEXELEMENT9* elements) : calls(log) {
      const UINT count = GetVertexElementCount(elements);
      this->elements.assign(elements, elements + count + 1);
    }
    IDirect3DVertexDeclaration9* GetD3DDeclaration() override { return nullptr; }
    D3DVERTEXELEMENT9* GetVertexElement() override { return elements.data(); }
    void Set() override { calls.push_back("declaration"); }
    std::vector<std::string>& calls;
    std::vector<D3DVERTEXELEMENT9> elements;
  };

  class MeshBuffer final : public CMeshVertexBuffer {
   public:
    MeshBuffer(std::vector<std::string>& log, std::string bufferName, UINT count)
        : calls(log), name(std::move(bufferName)), vertices(count) {}
    UINT CreateCompatibleWith(D3DVERTEXELEMENT9*) override {
      ++layouts;
      return 1;
    }
    void SetStreams() override { calls.push_back("streams " + name); }
    const char* GetName() override { return name.c_str(); }
    UINT GetNumberOfVertices() override { return vertices; }
    IDirect3DVertexBuffer9* GetDirect3DVertexBuffer() override { return nullptr; }
    void SetVertices(Vertex*, UINT) override {}
    void AddReference() override { ++references; }
    void Release() override { --references; }
    std::vector<std::string>& calls;
    std::string name;
    UINT vertices;
    int references = 1;
    int layouts = 0;
  };

  // A material that records being set; its blocks are the ones it was made with.
  class Material final : public CMaterialInterface {
   public:
    explicit Material(std::vector<std::string>& log) : calls(log) {}
    void Set(UINT) override { calls.push_back("material"); }
    D3DMATERIAL9* GetD3DMaterial() override { return &block; }
    CVector4* GetAdditionalMaterial1() override { return &additional1; }
    CVector4* GetAdditionalMaterial2() override { return &additional2; }
    std::vector<std::string>& calls;
    D3DMATERIAL9 block = {};
    CVector4 additional1, additional2;
  };

  std::vector<std::string> calls;
  std::vector<std::unique_ptr<Material>> materials;
  CIndexBufferStorageInterface* indexBuffers = nullptr;
  std::vector<std::unique_ptr<Declaration>> declarations;
  std::vector<std::unique_ptr<MeshBuffer>> buffers;
  std::vector<D3DMATERIAL9> materialCopies;
  std::vector<D3DLIGHT9> lights;
  IDirect3DVertexBuffer9* dynamicBuffer = nullptr;
  CD3D9Enumeration* enumeration = nullptr;
  bool failBuffers = false, failDeclarations = false;

  // The calls that begin with `prefix`, in order.
  std::vector<std::string> Only(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const std::string& call : calls)
      if (call.compare(0, prefix.size(), prefix) == 0) out.push_back(call);
    return out;
  }
  static std::string State(UINT state, UINT value) {
    return "state " + std::to_string(state) + "=" + std::to_string(value);
  }
  static std::string Stage(UINT stage, UINT type, UINT value) {
    return "stage " + std::to_string(stage) + " " + std::to_string(type) + "=" +
           std::to_string(value);
  }

  // --- renderer ---
  HRESULT SetRenderState(UINT state, UINT value) override {
    calls.push_back(State(state, value));
    return 0;
  }
  HRESULT SetTextureStageState(UINT stage, UINT type, UINT value) override {
    calls.push_back(Stage(stage, type, value));
    return 0;
  }
  HRESULT SetTextureStageStateVerbose(UINT stage, UINT type, UINT value) override {
    return SetTextureStageState(stage, type, value);
  }
  HRESULT SetTransform(UINT state, const CMatrix*) override {
    calls.push_back("transform " + std::to_string(state));
    return 0;
  }
  HRESULT SetLightEnable(WORD index, UINT enable) override {
    calls.push_back("light enable " + std::to_string(index) + "=" + std::to_string(enable));
    return 0;
  }
  HRESULT SetLight(UINT index, const D3DLIGHT9* light) override {
    calls.push_back("light " + std::to_string(index));
    lights.push_back(*light);
    return 0;
  }
  HRESULT DrawIndexedPrimitive(UINT primitives) override {
    calls.push_back("draw " + std::to_string(primitives));
    return 0;
  }
  struct Line {
    UINT type, minIndex, vertexCount, primitiveCount, indexFormat, stride;
    std::vector<WORD> indices;
    std::vector<BYTE> vertexBytes;
  };
  std::vector<Line> lines;
  void DrawIndexedPrimitiveUP(UINT type, UINT minIndex, UINT vertexCount, UINT primitiveCount,
                              const void* indices, UINT indexFormat, const void* vertices,
                              UINT stride) override {
    calls.push_back("line");
    const auto* words = static_cast<const WORD*>(indices);
    const auto* bytes = static_cast<const BYTE*>(vertices);
    lines.push_back({type, minIndex, vertexCount, primitiveCount, indexFormat, stride,
                     {words, words + 2 * primitiveCount},
                     {bytes, bytes + vertexCount * stride}});
  }
  void SetDefaultStates() override { calls.push_back("defaults"); }
  CD3D9Enumeration* GetEnumeration() override { return enumeration; }

  // --- banks ---
  CVertexDeclarationStorageInterface* GetVertexDeclarationStorageInterface() override { return this; }
  CVertexBufferStorageInterface* GetVertexBufferStorageInterface() override { return this; }
  CMaterialStorageInterface* GetMaterialStorageInterface() override { return this; }
  CTextureStorageInterface* GetTextureStorageInterface() override { return this; }
  CVertexShaderStorageInterface* GetVertexShaderStorageInterface() override { return &m_VertexShaders; }
  CPixelShaderStorageInterface* GetPixelShaderStorageInterface() override { return &m_PixelShaders; }

  CVertexDeclarationInterface* CreateVertexDeclaration(D3DVERTEXELEMENT9* elements) override {
    if (failDeclarations) return nullptr;
    for (auto& declaration : declarations)
      if (VertexElementListsEqual(declaration->elements.data(),
                                  GetVertexElementCount(declaration->elements.data()), elements,
                                  GetVertexElementCount(elements)))
        return declaration.get();
    declarations.push_back(std::make_unique<Declaration>(calls, elements));
    return declarations.back().get();
  }
  void SetFVF(DWORD fvf) override { calls.push_back("fvf " + std::to_string(fvf)); }

  struct CreateCall {
    Vertex* vertices;
    Vertex* secondVertices;
    UINT count;
    std::string name;
    UINT dynamic;
  };
  std::vector<CreateCall> created;
  CVertexBufferInterface* CreateVertexBuffer(Vertex* vertices, Vertex* secondVertices, UINT count,
                                             const char* name, UINT, UINT dynamic) override {
    created.push_back({vertices, secondVertices, count, name, dynamic});
    if (failBuffers) return nullptr;
    buffers.push_back(std::make_unique<MeshBuffer>(calls, name, count));
    return buffers.back().get();
  }
  IDirect3DVertexBuffer9* GetDynamicVertexBuffer() override { return dynamicBuffer; }
  void SetStreamSource(IDirect3DVertexBuffer9* buffer, UINT stride, UINT count) override {
    calls.push_back(std::string("stream source ") + (buffer == dynamicBuffer ? "dynamic " : "") +
                    std::to_string(stride) + " " + std::to_string(count));
  }

  CMaterialInterface* CreateMaterial(D3DCOLORVALUE* diffuse, D3DCOLORVALUE* specular,
                                     D3DCOLORVALUE* emissive, CVector4* additional1,
                                     CVector4* additional2, UINT) override {
    auto material = std::make_unique<Material>(calls);
    material->block.Diffuse = material->block.Ambient = *diffuse;
    material->block.Specular = *specular;
    material->block.Emissive = *emissive;
    material->additional1 = *additional1;
    material->additional2 = *additional2;
    materials.push_back(std::move(material));
    return materials.back().get();
  }
  void SetMaterial(D3DMATERIAL9* material) override {
    calls.push_back("material copy");
    materialCopies.push_back(*material);
  }
  void SetMaterial(D3DMATERIAL9*, UINT) override {}
  void SetMaterial(CMaterialInterface*, UINT) override {}

  UINT SetD3DTexture(IDirect3DBaseTexture9* texture, UINT stage) override {
    calls.push_back((texture ? "d3d texture " : "no texture ") + std::to_string(stage));
    return 1;
  }

  // --- neutral answers ---
  IDirect3DDevice9* GetDevice() override { return nullptr; }
  CD3D9Enumeration* GetAdapterEnumeration(UINT) override { return enumeration; }
  const DeviceSettings* GetDeviceSettings() override { return nullptr; }
  void ResetScissorRect(UINT, UINT) override {}
  DWORD GetRenderState(UINT) override { return 0xFEFEFEFE; }
  HRESULT DrawStreamPrimitive(UINT, UINT, UINT) override { return 0; }
  CRenderTargetStorageInterface* GetRenderTargetStorageInterface() override { return nullptr; }
  HRESULT ClearBuffers(UINT, UINT) override { return 0; }
  UINT SaveStates() override { return 1; }
  UINT LoadStates() override { return 1; }
  HRESULT SetViewport() override { return 0; }
  HRESULT Flip(HWND, UINT) override { return 0; }
  HRESULT Clear(UINT, UINT) override { return 0; }
  HRESULT BeginRendering() override { return 0; }
  HRESULT EndRendering() override { return 0; }
  D3DVIEWPORT9* GetViewport() override { return nullptr; }
  HDC GetBackBufferDC() override { return nullptr; }
  UINT IsRenderingBegin() override { return 1; }
  HRESULT GetLightEnableStates(UINT*) override { return 0; }
  float GetWideScreenFactor() override { return 1; }
  HRESULT GetRenderTargetDescription(UINT, UINT*, UINT*, UINT*, UINT*) override { return 0; }
  CIndexBufferStorageInterface* GetIndexBufferStorageInterface() override { return indexBuffers; }
  CSpriteStorageInterface* GetSpriteStorageInterface() override { return nullptr; }
  HRESULT SetSamplerState(UINT, UINT, UINT) override { return 0; }
  HRESULT SetPixelShaderConstantF(UINT, const float*, UINT) override { return 0; }
  HRESULT SetPixelShaderConstantI(UINT, const int*, UINT) override { return 0; }
  HRESULT SetPixelShaderConstantF(UINT, const UINT*, UINT) override { return 0; }
  HRESULT SetVertexShaderConstantF(UINT, const float*, UINT) override { return 0; }
  HRESULT SetVertexShaderConstantI(UINT, const int*, UINT) override { return 0; }
  HRESULT SetVertexShaderConstantF(UINT, const UINT*, UINT) override { return 0; }
  HRESULT DrawIndexedPrimitive(UINT, UINT, UINT, UINT, UINT) override { return 0; }
  void DrawIndexedPrimitive(UINT, UINT, UINT, UINT, UINT, UINT) override {}
  void DrawPrimitive(UINT, UINT, UINT, const void*, UINT) override {}
  HRESULT SetSoftwareVertexProcessing(UINT) override { return 0; }
  HRESULT EvictManagedResources() override { return 0; }
  HRESULT SetScissorTest(const RECT*) override { return 0; }
  HRESULT GetScissorTest(RECT*) override { return 0; }

 private:
  RecordingVertexShaderStorage m_VertexShaders{calls};
  RecordingPixelShaderStorage m_PixelShaders{calls};
};
