// Shader assembly text, as the shader library assembles it: D3DXAssembleShader, then the input
// semantics of what it made and a shader of its kind on the null device, which translates the
// bytecode for the back end.
#include "FuzzHarness.h"
#include "ReleasingPtr.h"
#include "d3dx9shader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzHarness& harness = FuzzHarness::Instance();
  IDirect3DDevice9* device = harness.NullDevice();
  harness.Run([&] {
    ID3DXBuffer* code = nullptr;
    ID3DXBuffer* errors = nullptr;
    D3DXAssembleShader(reinterpret_cast<const char*>(data), static_cast<UINT>(size), nullptr,
                       nullptr, 0, &code, &errors);
    ReleasingPtr<ID3DXBuffer> codeOwner(code), errorsOwner(errors);
    if (code == nullptr || code->GetBufferSize() < sizeof(DWORD)) return;

    const auto* function = static_cast<const DWORD*>(code->GetBufferPointer());
    D3DXSEMANTIC semantics[MAXD3DDECLLENGTH];
    UINT count = 0;
    D3DXGetShaderInputSemantics(function, semantics, &count);
    if ((function[0] & 0xFFFF0000) == 0xFFFF0000) {
      IDirect3DPixelShader9* shader = nullptr;
      device->CreatePixelShader(function, &shader);
      ReleasingPtr<IDirect3DPixelShader9> owner(shader);
    } else {
      IDirect3DVertexShader9* shader = nullptr;
      device->CreateVertexShader(function, &shader);
      ReleasingPtr<IDirect3DVertexShader9> owner(shader);
    }
  });
  return 0;
}
