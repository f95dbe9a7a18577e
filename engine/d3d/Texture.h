#pragma once
// One texture of the engine: a Direct3D 2D or cube texture with its name, up to four source
// files (red or the whole image, green, blue, alpha), eight channel values, size, format and
// kind. The texture bank makes every texture, keeps it in its table and counts its references;
// textures are made first and filled later by Load (the bank's LoadAllTextures).
//
// Texts the bank hands in have been checked to fit their fields. Main thread only.
#include <cstddef>

#include "ZKDXGlobals.h"
#include "d3d/SurfaceTextureImage.h"
#include "d3dx9math.h"
#include "d3dx9tex.h"

class CEngineLog;
class CEngineRenderer;
class CGUITexture;
class CTextureBank;
class VFSFile;
struct DeviceSettings;

class CTexture final : public CSurfaceTextureImage {
 public:
  static constexpr size_t kNameLength = 256;
  static constexpr int kFileNames = 4;

  // What fills the texture.
  enum Kind : WORD {
    kImageFile = 0,
    kCubeNormalizer = 10,
    kShadowMask = 11,
    kShadowLookup2048 = 12,
    kShadowLookup256 = 13,
    kMaterial1 = 14,
    kMaterial2 = 15,
    kAttenuationXY = 16,
    kAttenuationZ = 17,
    kNdotHPowKLookup = 18,
    kAlphaOnly = 19,
    kSpotMask = 20,
    kFresnelTerm = 21,
  };

  // Every field cleared, no reference counted yet; one of the Make... operations follows.
  CTexture(CTextureBank* bank, CEngineRenderer* renderer, CEngineLog* log);
  ~CTexture();
  CTexture(const CTexture&) = delete;
  CTexture& operator=(const CTexture&) = delete;

  // --- the variants the bank makes ---
  // Takes one reference on `texture`; name "." -> "_" with its case kept, first file `name`.
  void MakeWrapped(const char* name, IDirect3DTexture9* texture, UINT width, UINT height, D3DFORMAT format,
                   UINT levels);
  // An empty texture to fill by hand; CreatePlainTexture makes its Direct3D texture.
  void MakeEmpty(const char* name, D3DFORMAT format, UINT width, UINT height, UINT levels, UINT dynamic);
  // A material texture: `files` may hold nulls, `values` are red, green, blue, alpha. kind is
  // kMaterial1 or kMaterial2.
  void MakeMaterial(const char* key, const char* const files[kFileNames], const BYTE values[4], Kind kind,
                    D3DFORMAT format);
  // A texture from one image file (`name` lower-cased); reads the file's format unless told.
  void MakeSingleFile(const char* name, UINT normalMap, UINT keepFormat);
  // A colour or normal-map file with a second file for alpha (both lower-cased); `name` is the
  // texture's name as the bank built it.
  void MakeTwoFiles(const char* name, const char* first, const char* fourth, UINT normalMap);
  // A one-channel L8 texture from `fourth` (lower-cased).
  void MakeAlphaOnly(const char* fourth);
  // System texture 1-8 (shadow mask, the two shadow lookups, the two attenuations, N.H power
  // lookup, spot mask, Fresnel term); another number ends the process.
  void MakeSystem(UINT number);
  // The normalisation cube map; mipmapped when `mipmaps` is 1.
  void MakeCubeNormalizer(D3DFORMAT format, UINT mipmaps);

  // --- CTextureInterface ---
  const char* GetName() override { return Text(m_szName); }
  const char* GetFileName() override { return Text(m_szFileNames[0]); }
  const char* GetGreenFileName() override { return Text(m_szFileNames[1]); }
  const char* GetBlueFileName() override { return Text(m_szFileNames[2]); }
  const char* GetAlphaFileName() override { return Text(m_szFileNames[3]); }
  UINT IsCubeTexture() override { return m_wType != TEXTURE_TYPE_2D ? 1 : 0; }
  UINT IsNonPlainTexture() override { return IsCubeTexture(); }
  UINT Set(WORD stage) override;
  UINT IsLoaded() override { return m_dwLoaded; }
  UINT HasAlphaChannel() override { return m_dwHasAlpha; }
  IDirect3DTexture9* GetD3DTexture() override { return m_pD3DTexture; }
  IDirect3DCubeTexture9* GetD3DCubeTexture() override { return m_pD3DCubeTexture; }
  IDirect3DBaseTexture9* GetD3DVolumeTexture() override { return nullptr; }
  HDC GetCubeDC(D3DCUBEMAP_FACES face, UINT level) override;
  HDC GetDC(UINT level) override;
  UINT ReleaseDC(HDC dc, UINT unused) override;
  UINT GetWidth() override { return m_dwWidth; }
  UINT GetHeight() override { return m_dwHeight; }
  D3DFORMAT GetFormat() override { return m_Format; }
  WORD GetTextureType() override { return m_wType; }
  WORD GetTextureKind() override { return m_wKind; }
  UINT CopyToSystemMemorySurface(IDirect3DSurface9** surface, D3DFORMAT format) override;
  UINT Lock(UINT level, RECT* area, D3DLOCKED_RECT* out) override;
  HRESULT Unlock(UINT level) override;

  // --- CSurfaceTextureImage ---
  void AddReference() override { ++m_dwReferences; }
  // Empties stages 0 and 1; the last reference takes the texture out of the bank and frees it.
  void Release() override;
  // Writes "<name>.dds" with every level; 0 (logged) when it cannot.
  UINT SaveAsDDS() override;

  // --- the engine's own operations ---
  // Adds a reference and hands out the GUI's wrapper, made on the first call; null when the GUI
  // renderer cannot make one (no reference added then).
  CGUITexture* GetGUITexture();
  // The GUI's wrapper is going: the next GetGUITexture makes a new one.
  void ForgetGUITexture(const CGUITexture* gui) {
    if (m_pGUITexture == gui) m_pGUITexture = nullptr;
  }
  // Fills the texture by its type and kind; 1 when filled. Failures end the process.
  UINT Load();
  // The Direct3D texture of an empty texture; a failure ends the process. 1.
  UINT CreatePlainTexture();
  // The format of the texture's source image, read without loading it.
  D3DFORMAT GetFileImageFormat();
  // Gives up the Direct3D objects (the device is going); the texture stays, unloaded.
  void ReleaseDeviceObjects();
  // A dynamic texture lives in the device's default pool, which a reset cannot keep: it gives
  // up its Direct3D object before the reset and is made again, empty, after it. Other textures
  // are kept by the device and do nothing.
  void OnDeviceLost();
  void OnDeviceReset();

  // For the bank's searches: the name and file-name fields as they are ("" when empty).
  const char* NameField() const { return m_szName; }
  const char* FileNameField(int index) const { return m_szFileNames[index]; }
  UINT GetReferenceCount() const { return m_dwReferences; }
  UINT GetLevelCount() const { return m_dwLevels; }

 private:
  static const char* Text(const char* field) { return field[0] != '\0' ? field : nullptr; }
  static void CopyTextureName(char (&field)[kNameLength], const char* text);
  const DeviceSettings& Settings() const;
  IDirect3DDevice9* Device() const;
  UINT MipmappingSwitch() const;
  bool LowerFirstFileIsFlare();
  // Whether a device context may be handed out: none is out, and the texture (`texture`) exists.
  bool MayHandOutDC(const void* texture, const char* missingText);
  HDC TakeDC(IDirect3DSurface9* surface, HRESULT levelResult);

  // --- generated contents ---
  UINT GenerateCubeNormalizer();
  UINT FillShadowMask() { return FillOneRowTable(2); }
  UINT FillShadowLookUp256() { return FillOneRowTable(256); }
  UINT FillShadowLookUp2048() { return FillOneRowTable(2048); }
  UINT FillNdotHPowKLookUp() { return FillSquareTable(); }
  UINT FillFresnelTerm() { return FillSquareTable(); }
  UINT FillOneRowTable(UINT width);
  UINT FillSquareTable();

  // --- loading ---
  // Where a fatal message about a file goes: its title when the file cannot be opened from its
  // archive, and the titles and texts of failures in an archive and on disk.
  struct FileFailure {
    const char* openTitle;
    const char* archiveTitle;
    const char* archiveText;
    const char* diskTitle;
    const char* diskText;
  };
  // One texel byte of a packing: the byte at `offset` of a source's texels, or `value` when
  // there is no source.
  struct PackedByte {
    IDirect3DTexture9* source;
    UINT offset;
    BYTE value;
  };
  // The image resource of the engine that fills the texture; null for a file.
  const char* ResourceName();
  // "<name>.dds" when the file system finds it.
  bool FindPrecomputedDDS(char (&ddsName)[kNameLength + 4]);
  // Image information of `file`: from memory when it lies in an archive, else by path.
  void ReadImageInfo(const char* file, D3DXIMAGE_INFO& info, const FileFailure& failure);
  // The image information of the texture's source: the engine's image `resource`, else the
  // precomputed DDS (`ddsName`, null for none), else the first file.
  void ReadSourceInfo(D3DXIMAGE_INFO& info, const char* resource, const char* ddsName, const FileFailure& ddsFailure,
                      const FileFailure& fileFailure);
  UINT LoadPlainTexture();
  UINT LoadPlainTextureWithAlpha();
  UINT LoadAlphaOnlyTexture();
  UINT LoadMaterialTexture1() { return LoadMaterialTexture(kMaterial1); }
  UINT LoadMaterialTexture2() { return LoadMaterialTexture(kMaterial2); }
  UINT LoadMaterialTexture(Kind kind);
  UINT GrowToImageSize(const char* file, UINT& width, UINT& height);
  // A 1-level X8R8G8B8 system-memory texture of the texture's size holding the image.
  IDirect3DTexture9* LoadImageToSystemTexture(const char* file);
  UINT PackMaterialChannels(IDirect3DTexture9* target, IDirect3DTexture9* const sources[4], const BYTE values[4]);
  UINT PackColourAndAlpha(IDirect3DTexture9* target, IDirect3DTexture9* colour, IDirect3DTexture9* alpha);
  // Writes the four bytes of every texel (memory order blue, green, red, alpha) into `target`.
  void PackTexels(IDirect3DTexture9* target, const PackedByte (&bytes)[4]);
  // A precomputed DDS read as the general loader reads it: size, the DXT rule when asked, its own
  // levels when it has several. True when its levels were taken.
  bool TakeDDSLevels(const char* ddsName, const D3DXIMAGE_INFO& info, const char* levelsFailureName, bool dxtRule);
  // A packed texture's precomputed DDS, read as the general loader reads one, with the texts of
  // the loader; true when its own levels were taken.
  bool LoadPrecomputedDDS(const char* ddsName, D3DXIMAGE_INFO& info, bool dxtRule, const char* archiveInfoText,
                          const char* diskInfoText, const char* archiveFillText, const char* diskFillText);
  // The creation policy: levels and usage by the mipmap switch and automatic generation;
  // `plainText` picks the failure text of the general loader.
  void CreateByPolicy(bool plainText, const char* failureName);
  // After level 0 is filled: the device's generation or the chain on the CPU.
  void ApplyMipmapPolicy();
  // Every level below the top filtered from the top level.
  void FillMipChainFromTop();
  IDirect3DSurface9* TopLevel();
  // Fills level 0 from `file`.
  void LoadTopLevelFromFile(const char* file, const FileFailure& failure);
  void LoadSurfaceFromFile(IDirect3DSurface9* surface, const char* file, const FileFailure& failure);
  // DXT on a side below 4 becomes 16-bit.
  void ApplyDxtRule();
  // A format the loader chooses when the rules left it open.
  void ResolveUnknownFormat(D3DFORMAT imageFormat);
  bool CanAutoGenMipmaps(D3DRESOURCETYPE type) const;
  void ReportSize() const;
  // The level count with whether the device makes the levels itself, then the dynamic flag.
  void ReportLevels(D3DRESOURCETYPE type) const;

  IDirect3DTexture9* m_pD3DTexture = nullptr;
  IDirect3DCubeTexture9* m_pD3DCubeTexture = nullptr;
  CEngineRenderer* m_pRenderer;
  CEngineLog* m_pLog;
  CTextureBank* m_pBank;
  CGUITexture* m_pGUITexture = nullptr;
  IDirect3DSurface9* m_pDCSurface = nullptr;
  UINT m_dwReferences = 0;
  char m_szName[kNameLength] = {};
  char m_szFileNames[kFileNames][kNameLength] = {};
  BYTE m_Values[8] = {};
  UINT m_dwWidth = 0;
  UINT m_dwHeight = 0;
  UINT m_dwLevels = 0;
  D3DFORMAT m_Format = D3DFMT_UNKNOWN;
  WORD m_wType = TEXTURE_TYPE_2D;
  WORD m_wKind = kImageFile;
  UINT m_dwGenerateMipmaps = 0;
  UINT m_dwLoaded = 0;
  UINT m_dwHasAlpha = 0;
  UINT m_dwNormalMap = 0;
  UINT m_dwDynamic = 0;
};

// The unit direction through the centre of texel (x, y) of face `face` (Direct3D's order) of a
// cube map of edge 256; `out` is normalised and returned. Another face only normalises `out`.
D3DXVECTOR3* GetCubeMapTexelDirection(UINT face, UINT x, UINT y, D3DXVECTOR3* out);
