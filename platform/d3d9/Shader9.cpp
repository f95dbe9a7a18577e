#include "Shader9.h"

#include "Direct3DDevice9.h"

namespace {
const IID* InterfaceId(IDirect3DVertexShader9*) { return &IID_IDirect3DVertexShader9; }
const IID* InterfaceId(IDirect3DPixelShader9*) { return &IID_IDirect3DPixelShader9; }
}  // namespace

template <class Interface>
TShader9<Interface>::TShader9(CDirect3DDevice9* device, std::shared_ptr<const CShaderTranslation> translation)
    : m_device(device), m_translation(std::move(translation)) {
  m_device->AddRef();
}

template <class Interface>
HRESULT TShader9<Interface>::QueryInterface(REFIID riid, void** object) {
  return this->AnswerInterface(riid, object, {InterfaceId(static_cast<Interface*>(nullptr))});
}

template <class Interface>
HRESULT TShader9<Interface>::GetDevice(IDirect3DDevice9** device) {
  if (!device) return D3DERR_INVALIDCALL;
  m_device->AddRef();
  *device = m_device;
  return D3D_OK;
}

template <class Interface>
HRESULT TShader9<Interface>::GetFunction(void* pData, UINT* pSizeOfData) {
  if (!pSizeOfData) return D3DERR_INVALIDCALL;
  const std::vector<DWORD>& function = m_translation->Function();
  const UINT size = static_cast<UINT>(function.size() * sizeof(DWORD));
  if (pData) {
    if (*pSizeOfData < size) return D3DERR_INVALIDCALL;
    memcpy(pData, function.data(), size);
  }
  *pSizeOfData = size;
  return D3D_OK;
}

template <class Interface>
IUnknown* TShader9<Interface>::DetachOwner() {
  return m_device;
}

template <class Interface>
void TShader9<Interface>::AttachOwner() {
  m_device->AddRef();
}

template class TShader9<IDirect3DVertexShader9>;
template class TShader9<IDirect3DPixelShader9>;
