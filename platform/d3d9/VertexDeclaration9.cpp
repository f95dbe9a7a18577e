#include "VertexDeclaration9.h"

#include "Direct3DDevice9.h"

namespace {

const UINT kTypeSizes[] = {4, 8, 12, 16, 4, 4, 4, 8, 4, 4, 8, 4, 8, 4, 4, 4, 8};

UINT TypeComponents(BYTE type) {
  switch (type) {
    case D3DDECLTYPE_FLOAT1:
      return 1;
    case D3DDECLTYPE_FLOAT2:
    case D3DDECLTYPE_SHORT2:
    case D3DDECLTYPE_SHORT2N:
    case D3DDECLTYPE_USHORT2N:
    case D3DDECLTYPE_FLOAT16_2:
      return 2;
    case D3DDECLTYPE_FLOAT3:
    case D3DDECLTYPE_UDEC3:
    case D3DDECLTYPE_DEC3N:
      return 3;
    default:
      return 4;
  }
}

}  // namespace

UINT CVertexDeclaration9::TypeSize(BYTE type) { return type < D3DDECLTYPE_UNUSED ? kTypeSizes[type] : 0; }

CVertexDeclaration9::CVertexDeclaration9(CDirect3DDevice9* device, std::vector<D3DVERTEXELEMENT9> elements,
                                         bool holdsDevice)
    : m_device(device), m_elements(std::move(elements)), m_holdsDevice(holdsDevice) {
  if (m_holdsDevice) m_device->AddRef();
  m_preTransformed = Has(D3DDECLUSAGE_POSITIONT);
}

CVertexDeclaration9::~CVertexDeclaration9() = default;

HRESULT CVertexDeclaration9::Create(CDirect3DDevice9* device, const D3DVERTEXELEMENT9* elements,
                                    CVertexDeclaration9** result) {
  if (!elements || !result) return D3DERR_INVALIDCALL;
  *result = nullptr;
  std::vector<D3DVERTEXELEMENT9> list;
  for (UINT i = 0;; ++i) {
    if (i > MAXD3DDECLLENGTH) return D3DERR_INVALIDCALL;
    const D3DVERTEXELEMENT9& e = elements[i];
    if (e.Stream == 0xFF) {
      if (e.Type != D3DDECLTYPE_UNUSED) return D3DERR_INVALIDCALL;
      break;
    }
    if (e.Stream >= 16 || e.Type >= D3DDECLTYPE_UNUSED || e.Method > MAXD3DDECLMETHOD ||
        e.Usage > MAXD3DDECLUSAGE || e.UsageIndex > MAXD3DDECLUSAGEINDEX || (e.Offset & 3))
      return D3DERR_INVALIDCALL;
    for (const D3DVERTEXELEMENT9& other : list)
      if (other.Usage == e.Usage && other.UsageIndex == e.UsageIndex) return D3DERR_INVALIDCALL;
    list.push_back(e);
  }
  *result = new CVertexDeclaration9(device, std::move(list), true);
  return D3D_OK;
}

UINT CVertexDeclaration9::FVFStride(DWORD fvf) {
  std::vector<D3DVERTEXELEMENT9> elements;
  if (!BuildFromFVF(fvf, &elements)) return 0;
  UINT stride = 0;
  for (const D3DVERTEXELEMENT9& e : elements) stride = e.Offset + TypeSize(e.Type) > stride ? e.Offset + TypeSize(e.Type) : stride;
  return stride;
}

bool CVertexDeclaration9::BuildFromFVF(DWORD fvf, std::vector<D3DVERTEXELEMENT9>* elements) {
  WORD offset = 0;
  auto add = [&](BYTE type, BYTE usage, BYTE index) {
    elements->push_back({0, offset, type, D3DDECLMETHOD_DEFAULT, usage, index});
    offset = static_cast<WORD>(offset + TypeSize(type));
  };
  const DWORD position = fvf & D3DFVF_POSITION_MASK;
  switch (position) {
    case 0:
      break;
    case D3DFVF_XYZ:
      add(D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_POSITION, 0);
      break;
    case D3DFVF_XYZRHW:
      add(D3DDECLTYPE_FLOAT4, D3DDECLUSAGE_POSITIONT, 0);
      break;
    case D3DFVF_XYZW:
      add(D3DDECLTYPE_FLOAT4, D3DDECLUSAGE_POSITION, 0);
      break;
    case D3DFVF_XYZB1:
    case D3DFVF_XYZB2:
    case D3DFVF_XYZB3:
    case D3DFVF_XYZB4:
    case D3DFVF_XYZB5: {
      add(D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_POSITION, 0);
      UINT betas = (position - D3DFVF_XYZB1) / 2 + 1;
      const bool lastIsIndices = (fvf & (D3DFVF_LASTBETA_UBYTE4 | D3DFVF_LASTBETA_D3DCOLOR)) != 0;
      UINT weights = lastIsIndices ? betas - 1 : betas;
      if (weights > 4) return false;
      if (weights > 0) add(static_cast<BYTE>(D3DDECLTYPE_FLOAT1 + weights - 1), D3DDECLUSAGE_BLENDWEIGHT, 0);
      if (lastIsIndices)
        add(fvf & D3DFVF_LASTBETA_UBYTE4 ? D3DDECLTYPE_UBYTE4 : D3DDECLTYPE_D3DCOLOR, D3DDECLUSAGE_BLENDINDICES, 0);
      break;
    }
    default:
      return false;
  }
  if (fvf & D3DFVF_NORMAL) add(D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_NORMAL, 0);
  if (fvf & D3DFVF_PSIZE) add(D3DDECLTYPE_FLOAT1, D3DDECLUSAGE_PSIZE, 0);
  if (fvf & D3DFVF_DIFFUSE) add(D3DDECLTYPE_D3DCOLOR, D3DDECLUSAGE_COLOR, 0);
  if (fvf & D3DFVF_SPECULAR) add(D3DDECLTYPE_D3DCOLOR, D3DDECLUSAGE_COLOR, 1);
  const UINT texCount = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
  if (texCount > 8) return false;
  static const BYTE kTexTypes[4] = {D3DDECLTYPE_FLOAT2, D3DDECLTYPE_FLOAT3, D3DDECLTYPE_FLOAT4, D3DDECLTYPE_FLOAT1};
  for (UINT i = 0; i < texCount; ++i) add(kTexTypes[(fvf >> (16 + 2 * i)) & 3], D3DDECLUSAGE_TEXCOORD, static_cast<BYTE>(i));
  return true;
}

CVertexDeclaration9* CVertexDeclaration9::FromFVF(CDirect3DDevice9* device, DWORD fvf) {
  std::vector<D3DVERTEXELEMENT9> elements;
  if (!BuildFromFVF(fvf, &elements)) return nullptr;
  return new CVertexDeclaration9(device, std::move(elements), false);
}

IUnknown* CVertexDeclaration9::DetachOwner() { return m_holdsDevice ? m_device : nullptr; }

void CVertexDeclaration9::AttachOwner() {
  if (m_holdsDevice) m_device->AddRef();
}

HRESULT CVertexDeclaration9::QueryInterface(REFIID riid, void** object) {
  return AnswerInterface(riid, object, {&IID_IDirect3DVertexDeclaration9});
}

HRESULT CVertexDeclaration9::GetDevice(IDirect3DDevice9** device) {
  if (!device) return D3DERR_INVALIDCALL;
  m_device->AddRef();
  *device = m_device;
  return D3D_OK;
}

HRESULT CVertexDeclaration9::GetDeclaration(D3DVERTEXELEMENT9* elements, UINT* count) {
  if (!count) return D3DERR_INVALIDCALL;
  const UINT total = static_cast<UINT>(m_elements.size()) + 1;
  if (elements) {
    for (size_t i = 0; i < m_elements.size(); ++i) elements[i] = m_elements[i];
    elements[m_elements.size()] = D3DDECL_END();
  }
  *count = total;
  return D3D_OK;
}

int CVertexDeclaration9::Location(const D3DVERTEXELEMENT9& e) {
  switch (e.Usage) {
    case D3DDECLUSAGE_POSITION:
    case D3DDECLUSAGE_POSITIONT:
      return e.UsageIndex == 0 ? ATTRIBUTE_POSITION : ATTRIBUTE_NONE;
    case D3DDECLUSAGE_BLENDWEIGHT:
      return e.UsageIndex == 0 ? ATTRIBUTE_BLENDWEIGHT : ATTRIBUTE_NONE;
    case D3DDECLUSAGE_BLENDINDICES:
      return e.UsageIndex == 0 ? ATTRIBUTE_BLENDINDICES : ATTRIBUTE_NONE;
    case D3DDECLUSAGE_NORMAL:
      return e.UsageIndex == 0 ? ATTRIBUTE_NORMAL : ATTRIBUTE_NONE;
    case D3DDECLUSAGE_PSIZE:
      return e.UsageIndex == 0 ? ATTRIBUTE_PSIZE : ATTRIBUTE_NONE;
    case D3DDECLUSAGE_COLOR:
      return e.UsageIndex < 2 ? ATTRIBUTE_COLOR0 + e.UsageIndex : ATTRIBUTE_NONE;
    case D3DDECLUSAGE_FOG:
      return e.UsageIndex == 0 ? ATTRIBUTE_FOG : ATTRIBUTE_NONE;
    case D3DDECLUSAGE_TEXCOORD:
      return e.UsageIndex < 8 ? ATTRIBUTE_TEXCOORD0 + e.UsageIndex : ATTRIBUTE_NONE;
    default:
      return ATTRIBUTE_NONE;
  }
}

bool CVertexDeclaration9::Has(BYTE usage, BYTE index) const {
  for (const D3DVERTEXELEMENT9& e : m_elements)
    if (e.Usage == usage && e.UsageIndex == index) return true;
  return false;
}

UINT CVertexDeclaration9::TexCoordComponents(UINT index) const {
  for (const D3DVERTEXELEMENT9& e : m_elements)
    if (e.Usage == D3DDECLUSAGE_TEXCOORD && e.UsageIndex == index) return TypeComponents(e.Type);
  return 0;
}
