#pragma once
// Recording fakes of the banks a surface draws from: textures (counted, named by their images),
// index buffers (also the shadow volumes') and materials. Each bank keeps what it made and counts live references, so a
// test sees what a surface holds and what it gave back. The texture and index-buffer banks also
// record what the renderer asks of them each frame and for its draws from caller memory.
#include <array>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "FakeDynamicBuffer.h"
#include "NullTextureStorage.h"
#include "d3d/IndexBufferBankInterface.h"
#include "scene/CountedIndexBuffer.h"
#include "d3d/SurfaceMaterial.h"
#include "d3d/SurfaceTextureImage.h"

class FakeCountedTexture final : public CSurfaceTextureImage {
 public:
  // Images by texture operation: 0 the texture's own, 1 to 4 its channels (4 also the second).
  std::string names[5];
  bool normalMap = false;
  int references = 1;
  int saves = 0;
  // The size a test gives the image, and the stages it was set on.
  UINT width = 0, height = 0;
  std::vector<WORD> setStages;

  void AddReference() override { ++references; }
  void Release() override { --references; }
  UINT SaveAsDDS() override {
    ++saves;
    return 1;
  }
  const char* GetName() override { return Text(0); }
  const char* GetFileName() override { return Text(1); }
  const char* GetGreenFileName() override { return Text(2); }
  const char* GetBlueFileName() override { return Text(3); }
  const char* GetAlphaFileName() override { return Text(4); }
  UINT IsCubeTexture() override { return 0; }
  UINT IsNonPlainTexture() override { return 0; }
  UINT Set(WORD stage) override {
    setStages.push_back(stage);
    return 1;
  }
  UINT IsLoaded() override { return 1; }
  UINT HasAlphaChannel() override { return names[4].empty() ? 0 : 1; }
  IDirect3DTexture9* GetD3DTexture() override { return nullptr; }
  IDirect3DCubeTexture9* GetD3DCubeTexture() override { return nullptr; }
  IDirect3DBaseTexture9* GetD3DVolumeTexture() override { return nullptr; }
  HDC GetCubeDC(D3DCUBEMAP_FACES, UINT) override { return nullptr; }
  HDC GetDC(UINT) override { return nullptr; }
  UINT ReleaseDC(HDC, UINT) override { return 0; }
  UINT GetWidth() override { return width; }
  UINT GetHeight() override { return height; }
  D3DFORMAT GetFormat() override { return D3DFMT_UNKNOWN; }
  WORD GetTextureType() override { return TEXTURE_TYPE_2D; }
  WORD GetTextureKind() override { return 0; }
  UINT CopyToSystemMemorySurface(IDirect3DSurface9**, D3DFORMAT) override { return 0; }
  UINT Lock(UINT, RECT*, D3DLOCKED_RECT*) override { return 0; }
  HRESULT Unlock(UINT) override { return 0; }

 private:
  const char* Text(int operation) const {
    return names[operation].empty() ? nullptr : names[operation].c_str();
  }
};

class FakeTextureStorage final : public NullTextureStorage {
 public:
  std::vector<std::unique_ptr<FakeCountedTexture>> made;
  int loadAllCalls = 0;
  bool fail = false;
  // The size every texture made from files reports.
  UINT madeWidth = 0, madeHeight = 0;

  // References held on the bank's textures by everyone but the bank.
  int LiveReferences() const {
    int total = 0;
    for (const auto& texture : made) total += texture->references;
    return total;
  }
  FakeCountedTexture* Make(const char* first, const char* second, UINT normalMap) {
    if (fail) return nullptr;
    auto texture = std::make_unique<FakeCountedTexture>();
    texture->names[0] = texture->names[1] = first ? first : "";
    texture->names[4] = second ? second : "";
    texture->normalMap = normalMap != 0;
    texture->width = madeWidth, texture->height = madeHeight;
    made.push_back(std::move(texture));
    return made.back().get();
  }
  FakeCountedTexture* Pack(const char* red, const char* green, const char* blue,
                           const char* alpha, std::array<BYTE, 4> bytes) {
    if (fail) return nullptr;
    auto texture = std::make_unique<FakeCountedTexture>();
    const char* channels[] = {red, green, blue, alpha};
    for (int i = 0; i < 4; ++i) texture->names[i + 1] = channels[i] ? channels[i] : "";
    packedBytes.push_back(bytes);
    made.push_back(std::move(texture));
    return made.back().get();
  }
  // The channel bytes of every packed recipe.
  std::vector<std::array<BYTE, 4>> packedBytes;

  using NullTextureStorage::CreateTexture;
  CTextureInterface* CreateTexture(MaterialTexture2* m) override {
    return Pack(m->szTranslucencyInRed, m->szFresnelExponentInGreen, m->szRefractionInBlue,
                m->szLuminosityInAlpha,
                {m->TranslucencyValueInRed, m->FresnelExponentValueInGreen,
                 m->RefractionValueInBlue, m->LuminosityValueInAlpha});
  }
  CTextureInterface* CreateTexture(MaterialTexture1* m) override {
    return Pack(m->szDiffuseInRed, m->szSpecularGlossInGreen, m->szSpecularExpInBlue,
                m->szReflectionInAlpha,
                {m->DiffuseValueInRed, m->SpecularGlossValueInGreeen, m->SpecularExpValueInBlue,
                 m->ReflectionValueInAlpha});
  }
  CTextureInterface* CreateTexture(const char* fileName, UINT normalMap) override {
    return Make(fileName, nullptr, normalMap);
  }
  CTextureInterface* CreateTexture(const char* fileName, const char* alphaFileName,
                                   UINT normalMap) override {
    return Make(fileName, alphaFileName, normalMap);
  }
  UINT SetD3DTexture(IDirect3DBaseTexture9* texture, UINT stage) override {
    d3dTextures.emplace_back(texture, stage);
    return 1;
  }
  std::vector<std::pair<IDirect3DBaseTexture9*, UINT>> d3dTextures;
  UINT LoadAllTextures() override { return static_cast<UINT>(++loadAllCalls); }
  UINT GetNumberOfTextures() override { return static_cast<UINT>(made.size()); }
};

class FakeIndexBuffer final : public CCountedIndexBuffer {
 public:
  FakeIndexBuffer() = default;
  FakeIndexBuffer(std::string owner, const WORD* data, UINT count)
      : meshOwner(owner), surfaceOwner(std::move(owner)),
        indices(data, data + (data != nullptr ? count : 0)) {}

  std::string meshOwner, surfaceOwner;
  std::vector<WORD> indices;
  UINT unique = 0;
  UINT dynamic = 0;
  int references = 1;
  int rewrites = 0;

  void AddReference() override { ++references; }
  void Release() override { --references; }
  WORD* SetIndicesSource(WORD* source, UINT number) override {
    indices.assign(source, source + number);
    ++rewrites;
    return indices.data();
  }
  UINT GetIsUnique() override { return 0; }
  int sets = 0;
  UINT Set() override {
    ++sets;
    return 1;
  }
  UINT Compare(WORD*, UINT, UINT) override { return 0; }
  const char* GetMeshOwner() override { return meshOwner.c_str(); }
  const char* GetSurfaceOwner() override { return surfaceOwner.c_str(); }
  WORD* GetIndicesPointer() override { return indices.data(); }
  UINT GetNumberOfIndices() override { return static_cast<UINT>(indices.size()); }
};

class FakeIndexBufferStorage final : public CIndexBufferBankInterface {
 public:
  // What the renderer drives: the frame numbers it gave, the start index of the index buffer
  // the test pretends is set, the dynamic buffer it hands out and the raw indices it was asked
  // to set (passed on to `device` when there is one).
  std::vector<UINT> frames;
  UINT currentStartIndex = 0;
  IDirect3DIndexBuffer9* dynamicBuffer = nullptr;
  IDirect3DDevice9* device = nullptr;
  std::vector<IDirect3DIndexBuffer9*> rawIndices;

  void NewFrame(UINT frame) override { frames.push_back(frame); }
  UINT GetCurrentStartIndex() override { return currentStartIndex; }
  IDirect3DIndexBuffer9* GetDynamicIndexBuffer() override { return dynamicBuffer; }
  void SetIndices(IDirect3DIndexBuffer9* buffer) override {
    rawIndices.push_back(buffer);
    currentStartIndex = 0;
    if (device) device->SetIndices(buffer);
  }
  FakeDynamicBuffer<IDirect3DIndexBuffer9, D3DINDEXBUFFER_DESC> dynamicEvents;
  void OnDeviceLost() override { dynamicEvents.OnDeviceLost(dynamicBuffer); }
  void OnDeviceReset() override { dynamicEvents.OnDeviceReset(device, dynamicBuffer); }
  void ReleaseDeviceObjects() override { dynamicEvents.ReleaseDeviceObjects(dynamicBuffer); }

  std::vector<std::unique_ptr<FakeIndexBuffer>> made;
  bool fail = false;

  int LiveReferences() const {
    int total = 0;
    for (const auto& buffer : made) total += buffer->references;
    return total;
  }
  CIndexBufferInterface* CreateIndexBuffer(const char* meshOwner, const char* surfaceOwner,
                                           WORD* indices, UINT number, UINT unique,
                                           UINT dynamic) override {
    if (fail) return nullptr;
    auto buffer = std::make_unique<FakeIndexBuffer>();
    buffer->meshOwner = meshOwner ? meshOwner : "";
    buffer->surfaceOwner = surfaceOwner ? surfaceOwner : "";
    buffer->indices.assign(indices, indices + number);
    buffer->unique = unique;
    buffer->dynamic = dynamic;
    made.push_back(std::move(buffer));
    return made.back().get();
  }
  UINT GetNumberOfIndexBuffers() override { return static_cast<UINT>(made.size()); }
  CIndexBufferInterface* GetIndexBuffer(UINT index) override {
    return index < made.size() ? made[index].get() : nullptr;
  }
};

class FakeMaterial final : public CSurfaceMaterial {
 public:
  D3DMATERIAL9 block{};
  CVector4 additional1{}, additional2{};
  UINT unique = 0;
  int* live = nullptr;

  void Release() override {
    if (live != nullptr) --*live;
    live = nullptr;  // a second release would be a fault; it no longer counts
    released = true;
  }
  bool released = false;
  std::vector<UINT> flagsSet;  // the flag of every Set
  void Set(UINT flag) override { flagsSet.push_back(flag); }
  D3DMATERIAL9* GetD3DMaterial() override { return &block; }
  CVector4* GetAdditionalMaterial1() override { return &additional1; }
  CVector4* GetAdditionalMaterial2() override { return &additional2; }
};

// A bank of materials that are never shared, so every create takes an entry.
class FakeMaterialStorage final : public CMaterialStorageInterface {
 public:
  std::vector<std::unique_ptr<FakeMaterial>> made;
  int live = 0;
  bool fail = false;

  CMaterialInterface* CreateMaterial(D3DCOLORVALUE* diffuse, D3DCOLORVALUE* specular,
                                     D3DCOLORVALUE* emissive, CVector4* additional1,
                                     CVector4* additional2, UINT unique) override {
    if (fail) return nullptr;
    auto material = std::make_unique<FakeMaterial>();
    material->block.Diffuse = material->block.Ambient = *diffuse;
    material->block.Specular = *specular;
    material->block.Emissive = *emissive;
    material->block.Power = specular->a;
    material->additional1 = *additional1;
    material->additional2 = *additional2;
    material->unique = unique;
    material->live = &live;
    ++live;
    made.push_back(std::move(material));
    return made.back().get();
  }
  void SetMaterial(D3DMATERIAL9*) override {}
  // Every record set with a flag, and the flag.
  std::vector<std::pair<D3DMATERIAL9, UINT>> recordsSet;
  void SetMaterial(D3DMATERIAL9* material, UINT flag) override {
    recordsSet.emplace_back(*material, flag);
  }
  void SetMaterial(CMaterialInterface*, UINT) override {}
};
