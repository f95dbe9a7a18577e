#pragma once
// One index list of a mesh's surface (or shadow volume) with its own copy of the 16-bit indices,
// shared through a reference count by everyone who asked the bank for an equal list. Its
// allocation says where on the device the indices are; the bank uploads them when it is set.
#include <memory>

#include "d3d/CountedIndexBuffer.h"
#include "d3d/IndexAllocation.h"

class CEngineLog;
class CIndexBufferBank;

class CIndexBuffer final : public CCountedIndexBuffer {
 public:
  static constexpr UINT kNameLength = 256;

  // The owner names are the bank's lower-cased copies, short enough for their fields. Nothing
  // reaches the device yet; the reference count starts at 0.
  CIndexBuffer(CIndexBufferBank* bank, CEngineLog* log, const char* meshOwner, const char* surfaceOwner,
               const WORD* indices, UINT number, UINT unique, UINT dynamic);
  ~CIndexBuffer() = default;
  CIndexBuffer(const CIndexBuffer&) = delete;
  CIndexBuffer& operator=(const CIndexBuffer&) = delete;

  // Replaces the list (warned about while others hold the buffer); the next Set uploads it.
  WORD* SetIndicesSource(WORD* indices, UINT number) override;
  UINT GetIsUnique() override { return m_dwUnique; }
  // Makes the buffer the device's index buffer, uploading it first when it is dynamic or not
  // resident. 1, also when the upload failed (the allocation then holds no buffer).
  UINT Set() override;
  UINT Compare(WORD* indices, UINT number, UINT unique) override;
  const char* GetMeshOwner() override { return m_szMeshOwner; }
  const char* GetSurfaceOwner() override { return m_szSurfaceOwner; }
  WORD* GetIndicesPointer() override { return m_pIndices.get(); }
  UINT GetNumberOfIndices() override { return m_dwNumberOfIndices; }
  void AddReference() override { ++m_dwReferences; }
  // The last reference empties the bank's entry and frees the buffer.
  void Release() override;

  IndexAllocation& GetAllocation() { return m_Allocation; }
  UINT IsDynamic() const { return m_dwDynamic; }
  UINT GetReferenceCount() const { return m_dwReferences; }

 private:
  CIndexBufferBank* m_pBank;
  CEngineLog* m_pLog;
  char m_szMeshOwner[kNameLength] = {};
  char m_szSurfaceOwner[kNameLength] = {};
  IndexAllocation m_Allocation;
  std::unique_ptr<WORD[]> m_pIndices;
  UINT m_dwCapacity = 0;  // indices the array holds
  UINT m_dwNumberOfIndices = 0;
  UINT m_dwReferences = 0;
  UINT m_dwUnique;
  UINT m_dwDynamic;
};
