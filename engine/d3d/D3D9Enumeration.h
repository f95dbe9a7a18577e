#pragma once
// The capability record of one display adapter. The constructor runs the whole enumeration:
// identity, display modes, the device caps against the engine's minimum, the surface formats,
// the shader versions and the rendering schemes the adapter satisfies, logging every check.
// An enumeration that stops early leaves the record unusable; it still answers every accessor
// with 0 for whatever it did not reach. Built and read on the main thread only.
#include "d3d9.h"

class CD3D9EnumerationOwner;
class CEngineLog;

class CD3D9Enumeration final {
 public:
  // The masks of surface formats, one bit per format of the format bit table.
  enum FormatMask {
    kBackBufferFormats,
    kTextureFormats,
    kRenderTargetFormats,
    kCubeTextureFormats,
    kCubeRenderTargetFormats,
    kVertexTextureFormats,
    kDepthStencilFormats,
    kFormatMaskCount
  };
  // The yes-or-no answers the enumeration finds.
  enum Feature {
    kMipmapping,
    kAnisotropicFiltering,
    kScissorTest,
    kPureDevice,
    kNPatches,
    kReferenceRasterizer,
    kImmediatePresentation,
    kAutoGenMipmaps,
    kCubeMipmapping,
    kVolumeTextures,
    kVolumeMipmapping,
    kTwoSidedStencil,
    kGeometryInstancing,
    kStreamOffset,
    kNonPow2Unconditional,
    kNonPow2Conditional,
    kPerformanceHUD,
    kReservedFlag,
    kFeatureCount
  };
  // The standard full-screen modes, smallest first.
  enum StandardMode {
    kMode640x480,
    kMode800x600,
    kMode1024x768,
    kMode1152x864,
    kMode1280x960,
    kMode1280x1024,
    kMode1600x1200,
    kStandardModeCount
  };
  struct ModeSize {
    UINT width;
    UINT height;
  };
  static const ModeSize kStandardModes[kStandardModeCount];

  static constexpr size_t kDescriptionSize = 256;
  // Offered by some drivers in place of the 32- and 16-bit float formats, with limited addressing.
  static constexpr D3DFORMAT kFloatFallbackFormat = static_cast<D3DFORMAT>(MAKEFOURCC('4', 'x', '3', '2'));
  static constexpr D3DFORMAT k3DcFormat = static_cast<D3DFORMAT>(MAKEFOURCC('A', 'T', 'I', '2'));
  static constexpr D3DFORMAT kInstancingFormat = static_cast<D3DFORMAT>(MAKEFOURCC('I', 'N', 'S', 'T'));

  CD3D9Enumeration(CEngineLog* log, IDirect3D9* d3d, UINT adapter, CD3D9EnumerationOwner* owner);
  // Not virtual: the accessors keep their slots from the first one on.
  ~CD3D9Enumeration();
  CD3D9Enumeration(const CD3D9Enumeration&) = delete;
  CD3D9Enumeration& operator=(const CD3D9Enumeration&) = delete;

  // The bit of `format` in the format masks; 0 for a format outside the table.
  static DWORD FormatBit(D3DFORMAT format);

  // --- the accessors, in their fixed slot order ---
  virtual UINT IsAnisotropicFilteringSupported() const { return Flag(kAnisotropicFiltering); }
  virtual UINT IsMipmappingSupported() const { return Flag(kMipmapping); }
  virtual UINT IsHardwareVertexProcessing() const { return m_dwHardwareVertexProcessing; }
  virtual UINT IsCubeMipmappingSupported() const { return Flag(kCubeMipmapping); }
  virtual UINT IsVolumeTextureSupported() const { return Flag(kVolumeTextures); }
  virtual UINT IsVolumeMipmappingSupported() const { return Flag(kVolumeMipmapping); }
  virtual UINT IsNPatchesSupported() const { return Flag(kNPatches); }
  virtual UINT IsGeometryInstancingSupported() const { return Flag(kGeometryInstancing); }
  virtual UINT IsStreamOffsetSupported() const { return Flag(kStreamOffset); }
  virtual UINT HasTextureFormatBits(DWORD mask) const { return SharesBits(kTextureFormats, mask); }
  virtual UINT HasRenderTargetFormatBits(DWORD mask) const {
    return SharesBits(kRenderTargetFormats, mask);
  }
  virtual UINT HasCubeTextureFormatBits(DWORD mask) const {
    return SharesBits(kCubeTextureFormats, mask);
  }
  virtual UINT HasCubeRenderTargetFormatBits(DWORD mask) const {
    return SharesBits(kCubeRenderTargetFormats, mask);
  }
  virtual UINT IsTextureFormatSupported(D3DFORMAT format) const {
    return SharesBits(kTextureFormats, FormatBit(format));
  }
  virtual UINT IsRenderTargetFormatSupported(D3DFORMAT format) const {
    return SharesBits(kRenderTargetFormats, FormatBit(format));
  }
  virtual UINT IsCubeTextureFormatSupported(D3DFORMAT format) const {
    return SharesBits(kCubeTextureFormats, FormatBit(format));
  }
  virtual UINT IsCubeRenderTargetFormatSupported(D3DFORMAT format) const {
    return SharesBits(kCubeRenderTargetFormats, FormatBit(format));
  }
  virtual UINT IsScissorTestSupported() const { return Flag(kScissorTest); }
  virtual UINT GetReservedFlag() const { return Flag(kReservedFlag); }
  virtual UINT CanPresentImmediately() const { return Flag(kImmediatePresentation); }
  virtual const char* GetDeviceName() const { return m_Identifier.DeviceName; }
  virtual UINT HasMode640x480() const { return m_dwModes[kMode640x480]; }
  virtual UINT HasMode800x600() const { return m_dwModes[kMode800x600]; }
  virtual UINT HasMode1024x768() const { return m_dwModes[kMode1024x768]; }
  virtual UINT HasMode1152x864() const { return m_dwModes[kMode1152x864]; }
  virtual UINT HasMode1280x960() const { return m_dwModes[kMode1280x960]; }
  virtual UINT HasMode1280x1024() const { return m_dwModes[kMode1280x1024]; }
  virtual UINT HasMode1600x1200() const { return m_dwModes[kMode1600x1200]; }
  virtual UINT IsNonPow2ConditionalSupported() const { return Flag(kNonPow2Conditional); }
  virtual UINT IsNonPow2UnconditionalSupported() const { return Flag(kNonPow2Unconditional); }
  virtual UINT IsTwoSidedStencilSupported() const { return Flag(kTwoSidedStencil); }
  virtual UINT GetMaxAnisotropy() const { return m_dwMaxAnisotropy; }
  virtual DWORD GetSelectedScheme() const { return m_dwSelectedScheme; }
  virtual DWORD GetCompatibleSchemes() const { return m_dwCompatibleSchemes; }
  virtual D3DFORMAT GetTextureFormat() const { return m_TextureFormat; }
  virtual D3DFORMAT GetSecondaryTextureFormat() const { return m_SecondaryTextureFormat; }
  virtual D3DFORMAT GetBackBufferFormat() const { return m_BackBufferFormat; }
  virtual D3DFORMAT GetDepthStencilFormat() const { return m_DepthStencilFormat; }
  virtual UINT GetMaxSimultaneousTextures() const { return m_dwMaxSimultaneousTextures; }
  virtual UINT GetMaxUserClipPlanes() const { return m_dwMaxUserClipPlanes; }
  virtual UINT GetMaxVertexShaderConstants() const { return m_dwMaxVertexShaderConstants; }
  virtual UINT GetNumSimultaneousRenderTargets() const { return m_dwNumSimultaneousRenderTargets; }
  virtual float GetPixelShader1xMaxValue() const { return m_fPixelShader1xMaxValue; }
  virtual DWORD GetVertexShaderVersion() const { return PackVersion(m_VertexShaderMajor, m_VertexShaderMinor); }
  virtual DWORD GetPixelShaderVersion() const { return PackVersion(m_PixelShaderMajor, m_PixelShaderMinor); }
  virtual UINT CanAutoGenMipmaps() const { return Flag(kAutoGenMipmaps); }
  virtual UINT CanAutoGenMipmapsForFormat(D3DFORMAT format, D3DRESOURCETYPE resourceType) const;
  virtual const char* GetDescription() const { return m_szDescription; }
  virtual DWORD GetTextureFormats() const { return m_dwFormats[kTextureFormats]; }
  virtual DWORD GetRenderTargetFormats() const { return m_dwFormats[kRenderTargetFormats]; }
  virtual DWORD GetCubeTextureFormats() const { return m_dwFormats[kCubeTextureFormats]; }
  virtual DWORD GetCubeRenderTargetFormats() const { return m_dwFormats[kCubeRenderTargetFormats]; }
  virtual DWORD GetBackBufferFormats() const { return m_dwFormats[kBackBufferFormats]; }
  virtual DWORD GetVertexTextureFormats() const { return m_dwFormats[kVertexTextureFormats]; }

  // --- plain members ---
  UINT IsPureDevice() const { return Flag(kPureDevice); }
  UINT UsesReferenceRasterizer() const { return Flag(kReferenceRasterizer); }
  UINT GetMaxTextureWidth() const { return m_Caps.MaxTextureWidth; }
  UINT GetMaxTextureHeight() const { return m_Caps.MaxTextureHeight; }
  UINT SetHardwareVertexProcessing(UINT value) {
    m_dwHardwareVertexProcessing = value;
    return 1;
  }
  void UseReferenceRasterizer() { m_dwFeatures[kReferenceRasterizer] = 1; }
  void SetSelectedScheme(DWORD scheme) { m_dwSelectedScheme = scheme; }
  void SetCompatibleSchemes(DWORD mask) { m_dwCompatibleSchemes = mask; }
  // Device creation writes the formats of the chosen settings back here.
  void SetFormats(D3DFORMAT texture, D3DFORMAT secondaryTexture, D3DFORMAT backBuffer,
                  D3DFORMAT depthStencil);

  // What the scheme matching found, kept apart from the compatible mask that the engine
  // narrows to the application's wishes, so that a later choice can still widen it.
  DWORD GetSupportedSchemes() const { return m_dwSupportedSchemes; }
  UINT IsUsable() const { return m_dwUsable; }
  UINT IsPerformanceHUD() const { return Flag(kPerformanceHUD); }
  UINT GetAdapter() const { return m_dwAdapter; }
  const D3DCAPS9& GetCaps() const { return m_Caps; }
  const D3DADAPTER_IDENTIFIER9& GetIdentifier() const { return m_Identifier; }
  DWORD GetFormatMask(FormatMask mask) const { return m_dwFormats[mask]; }
  UINT HasFeature(Feature feature) const { return Flag(feature); }
  UINT GetDisplayModeCount() const { return m_dwDisplayModeCount; }
  // Vertex and pixel shader versions as the caps give them (signed bytes).
  int GetVertexShaderMajor() const { return m_VertexShaderMajor; }
  int GetVertexShaderMinor() const { return m_VertexShaderMinor; }
  int GetPixelShaderMajor() const { return m_PixelShaderMajor; }
  int GetPixelShaderMinor() const { return m_PixelShaderMinor; }
  DWORD GetMaxVertexShaderInstructions() const { return m_dwMaxVertexShaderInstructions; }
  DWORD GetMaxPixelShaderInstructions() const { return m_dwMaxPixelShaderInstructions; }

 private:
  UINT Flag(Feature feature) const { return m_dwFeatures[feature]; }
  UINT SharesBits(FormatMask mask, DWORD bits) const { return (m_dwFormats[mask] & bits) ? 1 : 0; }
  static DWORD PackVersion(signed char major, signed char minor) {
    return (static_cast<DWORD>(static_cast<BYTE>(major)) << 16) | static_cast<BYTE>(minor);
  }
  void ResetFormats();

  // The steps of the enumeration; each returns false where the enumeration stops.
  bool Enumerate();
  bool EnumerateIdentity();
  bool EnumerateDisplayModes();
  bool CheckCaps();
  bool CheckTextureCaps();
  void CheckShaderVersions();
  bool CheckFormats();
  void CheckBackBufferFormats();
  void WalkFormats(D3DRESOURCETYPE resourceType, FormatMask plainMask, FormatMask renderTargetMask);
  void CheckDepthStencilFormats();
  void CheckVertexTextureFormats();
  void CheckGeometryInstancing();
  void LogAdditionalCaps() const;
  void MatchSchemes();

  // The caps checks log their opening text, then their verdict, and return whether they passed;
  // the caller decides whether a failure stops the enumeration.
  bool Verdict(const char* opening, bool passed);
  // A minimum value: "Is %i" when it is met.
  bool CheckMinimum(const char* opening, DWORD value, DWORD minimum);
  bool Succeeded(HRESULT result) const { return result >= 0; }
  bool FormatAvailable(DWORD usage, D3DRESOURCETYPE resourceType, D3DFORMAT format) const;

  CEngineLog* m_pLog;
  D3DDISPLAYMODE* m_pDisplayModes = nullptr;
  CD3D9EnumerationOwner* m_pOwner;
  char m_szDescription[kDescriptionSize] = {};
  IDirect3D9* m_pD3D;
  D3DCAPS9 m_Caps = {};
  D3DADAPTER_IDENTIFIER9 m_Identifier = {};
  DWORD m_dwFormats[kFormatMaskCount] = {};
  D3DFORMAT m_TextureFormat = D3DFMT_X8R8G8B8;
  D3DFORMAT m_SecondaryTextureFormat = D3DFMT_X8R8G8B8;
  D3DFORMAT m_BackBufferFormat = D3DFMT_A8R8G8B8;
  D3DFORMAT m_DepthStencilFormat = D3DFMT_D24S8;
  DWORD m_dwDisplayModeCount = 0;
  DWORD m_dwAdapter;
  DWORD m_dwMaxAnisotropy = 0;
  DWORD m_dwMaxSimultaneousTextures = 0;
  DWORD m_dwMaxUserClipPlanes = 0;
  DWORD m_dwMaxVertexShaderConstants = 0;
  DWORD m_dwNumSimultaneousRenderTargets = 0;
  DWORD m_dwCompatibleSchemes = 0;
  DWORD m_dwSupportedSchemes = 0;
  DWORD m_dwSelectedScheme = 0;
  DWORD m_dwMaxVertexShaderInstructions = 0;
  DWORD m_dwMaxPixelShaderInstructions = 0;
  float m_fPixelShader1xMaxValue = 0.0f;
  signed char m_VertexShaderMajor = 0;
  signed char m_VertexShaderMinor = 0;
  signed char m_PixelShaderMajor = 0;
  signed char m_PixelShaderMinor = 0;
  DWORD m_dwUsable = 0;
  DWORD m_dwHardwareVertexProcessing = 0;
  DWORD m_dwFeatures[kFeatureCount] = {};
  DWORD m_dwModes[kStandardModeCount] = {};
};
