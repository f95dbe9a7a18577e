#pragma once
// ID3DXBuffer over a byte vector.
#include <atomic>
#include <vector>

#include "d3dx9core.h"

class CD3DXBuffer : public ID3DXBuffer {
 public:
  explicit CD3DXBuffer(std::vector<BYTE> bytes) : m_bytes(std::move(bytes)) {}

  HRESULT QueryInterface(REFIID riid, void** object) override;
  ULONG AddRef() override;
  ULONG Release() override;
  LPVOID GetBufferPointer() override;
  DWORD GetBufferSize() override;

  // Hands `bytes` out as a new buffer; E_OUTOFMEMORY when memory runs out or the size passes 32 bits.
  static HRESULT Create(std::vector<BYTE> bytes, LPD3DXBUFFER* buffer);

 private:
  std::atomic<ULONG> m_references{1};
  std::vector<BYTE> m_bytes;
};
