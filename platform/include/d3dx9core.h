#pragma once
// D3DX 9 core: the library's result codes and defaults, and the buffer object its calls hand out.
#include <cfloat>

#include "d3d9.h"
#include "unknwn.h"

// Sizes, level counts and filters that the library chooses.
#define D3DX_DEFAULT ((UINT)-1)
#define D3DX_DEFAULT_NONPOW2 ((UINT)-2)
#define D3DX_DEFAULT_FLOAT FLT_MAX
#define D3DX_FROM_FILE ((UINT)-3)
#define D3DFMT_FROM_FILE ((D3DFORMAT)-3)

#define _FACDD 0x876
#define MAKE_DDHRESULT(code) MAKE_HRESULT(1, _FACDD, code)

#define D3DXERR_CANNOTMODIFYINDEXBUFFER MAKE_DDHRESULT(2900)
#define D3DXERR_INVALIDMESH MAKE_DDHRESULT(2901)
#define D3DXERR_CANNOTATTRSORT MAKE_DDHRESULT(2902)
#define D3DXERR_SKINNINGNOTSUPPORTED MAKE_DDHRESULT(2903)
#define D3DXERR_TOOMANYINFLUENCES MAKE_DDHRESULT(2904)
#define D3DXERR_INVALIDDATA MAKE_DDHRESULT(2905)
#define D3DXERR_LOADEDMESHASNODATA MAKE_DDHRESULT(2906)
#define D3DXERR_DUPLICATENAMEDFRAGMENT MAKE_DDHRESULT(2907)
#define D3DXERR_CANNOTREMOVELASTITEM MAKE_DDHRESULT(2908)

DEFINE_GUID(IID_ID3DXBuffer, 0x8ba5fb08, 0x5195, 0x40e2, 0xac, 0x58, 0x0d, 0x98, 0x9c, 0x3a, 0x01, 0x02);

// A block of bytes owned by reference count.
struct ID3DXBuffer : public IUnknown {
  virtual LPVOID GetBufferPointer() = 0;
  virtual DWORD GetBufferSize() = 0;
};
typedef ID3DXBuffer* LPD3DXBUFFER;

// A zero-filled buffer of `numBytes` bytes.
ZKAPI HRESULT D3DXCreateBuffer(DWORD numBytes, LPD3DXBUFFER* buffer);
