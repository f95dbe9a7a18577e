#pragma once
// The members of one ACE archive, unpacked whole into memory when the archive is mounted:
// (name, data) in archive order. Each disk keeps a table of its own, bounded at kMaxEntries.
// Names are stored lowered, as every name the file system looks up is.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CEngineLog;

class CAceMemberTable {
 public:
  static constexpr size_t kMaxEntries = 2048;

  // Reads `length` bytes of the file at `path` from `offset` on (length 0: to the end of the
  // file) and unpacks the archive in them, replacing what the table held. Returns the number
  // of members; 0 when the archive could not be read. Problems are logged to `log`.
  unsigned Build(CEngineLog* log, const char* path, uint32_t offset, uint32_t length);

  // Adds a member named by the `nameLength` bytes of `name`, with a zeroed buffer of `size`
  // bytes to unpack into; false when the table is full or memory ran out.
  bool Add(const char* name, size_t nameLength, uint32_t size);
  // Drops the member added last (its data could not be unpacked).
  void RemoveLast();
  void Clear() { m_entries.clear(); }

  unsigned GetCount() const { return static_cast<unsigned>(m_entries.size()); }
  bool IsFull() const { return m_entries.size() >= kMaxEntries; }
  // Null past the end.
  const char* GetName(unsigned index) const;
  uint32_t GetSize(unsigned index) const;
  uint8_t* GetData(unsigned index);
  // The first member whose name equals `name` byte for byte, or -1.
  int Find(const char* name) const;

 private:
  struct Entry {
    std::string name;
    std::vector<uint8_t> data;
  };

  std::vector<Entry> m_entries;
};
