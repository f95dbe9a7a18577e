#pragma once
// A vertex or pixel shader object: the caller's bytecode and its translation for the back end.
// While the caller holds it, it holds its device, like every object the device creates.
#include <cstring>
#include <memory>

#include "ComObject.h"
#include "ShaderTranslation.h"

class CDirect3DDevice9;

template <class Interface>
class TShader9 : public TComObject<Interface> {
 public:
  TShader9(CDirect3DDevice9* device, std::shared_ptr<const CShaderTranslation> translation);

  HRESULT QueryInterface(REFIID riid, void** object) override;
  HRESULT GetDevice(IDirect3DDevice9** device) override;
  // The code the shader was created from; with pData null only the size in bytes.
  HRESULT GetFunction(void* pData, UINT* pSizeOfData) override;

  CDirect3DDevice9* OwnerDevice() const { return m_device; }
  const CShaderTranslation& Translation() const { return *m_translation; }

 protected:
  IUnknown* DetachOwner() override;
  void AttachOwner() override;

 private:
  ~TShader9() override = default;

  CDirect3DDevice9* m_device;
  std::shared_ptr<const CShaderTranslation> m_translation;
};

using CVertexShader9 = TShader9<IDirect3DVertexShader9>;
using CPixelShader9 = TShader9<IDirect3DPixelShader9>;
