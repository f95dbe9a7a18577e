#pragma once
// The renderer's one bank of index buffers. Equal lists of the same owners share one buffer. The
// bank owns the main index buffer, of the size the device settings give, and lends ranges of it
// to the buffers that are set, as a cache: a range unused for two frames may go to another
// buffer, whose owner is uploaded again when next set. Without a main buffer a static list gets a
// Direct3D buffer of its own and a dynamic one the bank's dynamic buffer, which also serves the
// renderer's draws from caller memory. Main thread only.
//
// The bank outlives the device: after ReleaseDeviceObjects the buffers it still holds answer
// without reaching a device, and its destructor frees them.
#include "d3d/IndexBuffer.h"
#include "d3d/IndexBufferBankInterface.h"

class CEngineLog;
class CEngineRenderer;

class CIndexBufferBank final : public CIndexBufferBankInterface {
 public:
  static constexpr UINT kCapacity = 1024;
  static constexpr UINT kDynamicIndices = 65535;
  static constexpr const char* kCreationTitle = "Error While Creating Index Buffer";

  // Makes the main buffer when `mainSize` (bytes) is not 0, then the dynamic buffer, on the
  // renderer's device: a main buffer the device refuses is logged and the bank goes on without
  // one; a refused dynamic buffer is fatal.
  CIndexBufferBank(CEngineRenderer* renderer, CEngineLog* log, UINT mainSize);
  ~CIndexBufferBank();
  CIndexBufferBank(const CIndexBufferBank&) = delete;
  CIndexBufferBank& operator=(const CIndexBufferBank&) = delete;

  // Owner names are compared lower-cased; names too long for their fields are refused (null).
  CIndexBufferInterface* CreateIndexBuffer(const char* meshOwner, const char* surfaceOwner, WORD* indices,
                                           UINT number, UINT unique, UINT dynamic) override;
  UINT GetNumberOfIndexBuffers() override { return m_dwCount; }
  // Null for a free entry and past the table.
  CIndexBufferInterface* GetIndexBuffer(UINT index) override;

  void NewFrame(UINT frame) override;
  UINT GetCurrentStartIndex() override;
  IDirect3DIndexBuffer9* GetDynamicIndexBuffer() override { return m_pDynamicBuffer; }
  void SetIndices(IDirect3DIndexBuffer9* buffer) override;
  void OnDeviceLost() override;
  void OnDeviceReset() override;
  void ReleaseDeviceObjects() override;

  // What the buffers ask of their bank.
  // Makes the allocation the device's index buffer (null: none), stamped with the frame.
  void SetAllocation(IndexAllocation* allocation);
  // Puts the buffer's indices on a Direct3D buffer; 1, or 0 (logged) when they found no room.
  UINT Upload(CIndexBuffer* buffer);
  // Takes the allocation off its Direct3D buffer (its own is released), and out of the main
  // buffer's list.
  void ReleaseAllocation(IndexAllocation* allocation);
  // Empties the buffer's entry and frees it.
  void Remove(CIndexBuffer* buffer);

  IDirect3DIndexBuffer9* GetMainBuffer() const { return m_pMainBuffer; }
  UINT GetMainSize() const { return m_dwMainSize; }
  // The main buffer's ranges in increasing start order.
  const IndexAllocation* GetFirstAllocation() const { return m_pFirstAllocation; }

 private:
  IDirect3DDevice9* Device() const;
  void CreateDeviceBuffers();
  UINT UploadToOwnBuffer(CIndexBuffer* buffer);
  UINT UploadToMainBuffer(CIndexBuffer* buffer);
  // Finds the main buffer's range for `number` indices and links `allocation` there; false when
  // it must have the whole buffer (an empty list, or every range forgotten).
  bool PlaceInMainBuffer(IndexAllocation* allocation, UINT number);
  void LinkAfter(IndexAllocation* previous, IndexAllocation* allocation);
  void Unlink(IndexAllocation* allocation);
  // Every range loses its place, so that its owner is uploaded again when next set.
  void ForgetAllRanges();
  bool IsStale(const IndexAllocation* allocation) const { return allocation->dwLastUsed < m_dwPreviousFrame; }
  // Clears every allocation that lies on `buffer`.
  void ForgetAllocationsOn(IDirect3DIndexBuffer9* buffer);
  void SendIndices(IDirect3DIndexBuffer9* buffer);

  CEngineRenderer* m_pRenderer;
  CEngineLog* m_pLog;
  IDirect3DIndexBuffer9* m_pMainBuffer = nullptr;
  IndexAllocation* m_pFirstAllocation = nullptr;
  IndexAllocation* m_pCurrentAllocation = nullptr;
  IDirect3DIndexBuffer9* m_pCurrentBuffer = nullptr;
  UINT m_dwMainSize;
  IDirect3DIndexBuffer9* m_pDynamicBuffer = nullptr;
  UINT m_dwCount = 0;
  CIndexBuffer* m_Entries[kCapacity] = {};
  UINT m_dwCurrentFrame = 0;
  UINT m_dwPreviousFrame = 0;
};
