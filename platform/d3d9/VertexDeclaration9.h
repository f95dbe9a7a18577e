#pragma once
// A checked vertex layout, made by the caller or from an FVF code. Each element also gets the
// attribute location the generated programs read it from.
#include <vector>

#include "ComObject.h"
#include "d3d9.h"

class CDirect3DDevice9;

// Attribute locations of the fixed-function inputs.
enum EAttributeLocation {
  ATTRIBUTE_POSITION = 0,
  ATTRIBUTE_BLENDWEIGHT = 1,
  ATTRIBUTE_BLENDINDICES = 2,
  ATTRIBUTE_NORMAL = 3,
  ATTRIBUTE_PSIZE = 4,
  ATTRIBUTE_COLOR0 = 5,
  ATTRIBUTE_COLOR1 = 6,
  ATTRIBUTE_FOG = 7,
  ATTRIBUTE_TEXCOORD0 = 8,
  ATTRIBUTE_COUNT = 16,
  ATTRIBUTE_NONE = -1
};

class CVertexDeclaration9 : public TComObject<IDirect3DVertexDeclaration9> {
 public:
  // D3DERR_INVALIDCALL for a list that is unterminated within MAXD3DDECLLENGTH, or has a bad
  // type, method, usage, stream, offset or a repeated usage.
  static HRESULT Create(CDirect3DDevice9* device, const D3DVERTEXELEMENT9* elements, CVertexDeclaration9** result);
  // The layout an FVF code describes, owned by the device (no reference on it); null for an
  // invalid code.
  static CVertexDeclaration9* FromFVF(CDirect3DDevice9* device, DWORD fvf);
  static UINT TypeSize(BYTE type);
  // Bytes of one vertex of an FVF code; 0 when the code is invalid.
  static UINT FVFStride(DWORD fvf);

  HRESULT QueryInterface(REFIID riid, void** object) override;
  HRESULT GetDevice(IDirect3DDevice9** device) override;
  HRESULT GetDeclaration(D3DVERTEXELEMENT9* elements, UINT* count) override;

  const std::vector<D3DVERTEXELEMENT9>& Elements() const { return m_elements; }
  CDirect3DDevice9* OwnerDevice() const { return m_device; }
  static int Location(const D3DVERTEXELEMENT9& element);
  bool IsPreTransformed() const { return m_preTransformed; }
  bool Has(BYTE usage, BYTE index = 0) const;
  // Components of a texture coordinate set (0 when absent).
  UINT TexCoordComponents(UINT index) const;

 protected:
  IUnknown* DetachOwner() override;
  void AttachOwner() override;

 private:
  CVertexDeclaration9(CDirect3DDevice9* device, std::vector<D3DVERTEXELEMENT9> elements, bool holdsDevice);
  ~CVertexDeclaration9() override;
  static bool BuildFromFVF(DWORD fvf, std::vector<D3DVERTEXELEMENT9>* elements);

  CDirect3DDevice9* m_device;
  std::vector<D3DVERTEXELEMENT9> m_elements;
  bool m_holdsDevice;
  bool m_preTransformed = false;
};
