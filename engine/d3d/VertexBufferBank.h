#pragma once
// Every vertex buffer of the engine, shared between owners of equal vertices, and the Direct3D
// storage of their streams: one main buffer sub-allocated first fit (when the settings give it a
// size), one shared dynamic buffer, or a buffer of each static stream's own. Remembers the
// stream set last given to the device, so that setting it again costs nothing. Made with the
// device.
#include <cstdint>
#include <functional>

#include "d3d/VertexBufferBankInterface.h"

class CEngineLog;
class CEngineRenderer;
class CVertexBuffer;
class CVertexDeclarationBankInterface;
struct CVertexStream;
struct CVertexStreamSet;

class CVertexBufferBank final : public CVertexBufferBankInterface {
 public:
  static constexpr UINT kMaxBuffers = 512;
  static constexpr UINT kDynamicBufferSize = 524288;

  // `mainSize` is in bytes, 0 for no main buffer. A dynamic buffer that cannot be made is fatal.
  CVertexBufferBank(CVertexDeclarationBankInterface* declarations, CEngineRenderer* renderer,
                    CEngineLog* log, UINT mainSize);
  // Buffers still held elsewhere are detached and left to their last release.
  ~CVertexBufferBank();
  CVertexBufferBank(const CVertexBufferBank&) = delete;
  CVertexBufferBank& operator=(const CVertexBufferBank&) = delete;

  CVertexBufferInterface* CreateVertexBuffer(Vertex* vertices, Vertex* secondVertices, UINT count,
                                             const char* name, UINT kind, UINT dynamic) override;
  IDirect3DVertexBuffer9* GetDynamicVertexBuffer() override { return m_pDynamicBuffer; }
  void SetStreamSource(IDirect3DVertexBuffer9* buffer, UINT stride, UINT count) override;
  void SetFrameNumber(UINT frame) override;
  UINT GetCurrentNumberOfVertices() override;
  void OnDeviceLost() override;
  void OnDeviceReset() override;
  void ReleaseDeviceObjects() override;

  // Sets every stream of `set` (a layout of `buffer`), filling those not loaded and the dynamic
  // ones first; nothing when it is the set last given.
  void SetStreamSources(CVertexBuffer* buffer, CVertexStreamSet* set);
  // Uploads stream `stream` of `set`; false (logged) when it cannot.
  bool FillTheBuffer(CVertexBuffer* buffer, CVertexStreamSet* set, UINT stream);
  // Takes the record out of the main buffer, or lets its own Direct3D buffer go.
  void RemoveStream(CVertexStream* record);
  // The buffer's vertices changed: its set, if remembered, must reach the device again.
  void ForgetStreamSet(CVertexBuffer* buffer);
  // Called by a buffer at its last release.
  void RemoveBuffer(CVertexBuffer* buffer);

  UINT GetMainBufferSize() const { return m_dwMainSize; }
  UINT GetNumberOfBuffers() const;
  CVertexDeclarationBankInterface* GetDeclarations() const { return m_pDeclarations; }
  CEngineLog* GetLog() const { return m_pLog; }

 private:
  void CreateDeviceBuffers(DWORD mainFormat);
  // Places the record in the main buffer, first fit, evicting all when nothing fits; true when
  // it was placed at the start of an empty or emptied list.
  bool PlaceInMainBuffer(CVertexStream* record, uint64_t size);
  void EmptyMainBuffer();
  bool FillFromMainBuffer(CVertexBuffer* buffer, CVertexStream* record, uint64_t size);
  bool FillFromDynamicBuffer(CVertexBuffer* buffer, CVertexStream* record, uint64_t size);
  bool FillOwnBuffer(CVertexBuffer* buffer, CVertexStream* record, uint64_t size);
  // Locks, writes and unlocks; false (logged) when the lock fails.
  bool Upload(CVertexBuffer* buffer, CVertexStream* record, IDirect3DVertexBuffer9* target,
              UINT offset, UINT size, DWORD flags);
  void BindStream(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride);
  // Every stream record of every buffer (a record shared by two sets is visited twice).
  void ForEachStream(const std::function<void(CVertexStream&)>& visit);

  CVertexBuffer* m_Buffers[kMaxBuffers] = {};
  CEngineRenderer* m_pRenderer;
  CEngineLog* m_pLog;
  CVertexStreamSet* m_pCurrentSet = nullptr;
  CVertexBuffer* m_pCurrentBuffer = nullptr;
  CVertexDeclarationBankInterface* m_pDeclarations;
  CVertexStream* m_pHead = nullptr;
  IDirect3DVertexBuffer9* m_pMainBuffer = nullptr;
  IDirect3DVertexBuffer9* m_pDynamicBuffer = nullptr;
  UINT m_dwUsed = 0;
  UINT m_dwRawVertexCount = 0;
  UINT m_dwFrame = 0;
  UINT m_dwPreviousFrame = 0;
  UINT m_dwMainSize;
  // Bytes of the dynamic buffer the set being bound has taken; its streams follow each other.
  UINT m_dwDynamicUsed = 0;
  // Grows at every eviction of the main buffer.
  UINT m_dwEvictions = 0;
};
