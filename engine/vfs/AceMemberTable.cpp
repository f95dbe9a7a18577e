#include "vfs/AceMemberTable.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "vfs/AceDecompressor.h"
#include "zkplatform/ZkPaths.h"

namespace {

struct FileCloser {
  void operator()(FILE* file) const { fclose(file); }
};

// The stretch of the file that holds the archive (a Windows path, mapped by the platform), or nothing when the file cannot be read.
bool ReadStretch(const char* path, uint32_t offset, uint32_t length, std::vector<uint8_t>& bytes) {
  std::unique_ptr<FILE, FileCloser> file(ZkFileOpen(path, "rb"));
  if (!file || fseek(file.get(), 0, SEEK_END) != 0) return false;
  const long fileLength = ftell(file.get());
  if (fileLength < 0 || offset > static_cast<unsigned long>(fileLength)) return false;
  // A stretch longer than the file holds is read as far as it goes; the walk then finds the
  // archive cut short.
  const size_t available = static_cast<size_t>(fileLength) - offset;
  const size_t size = length == 0 ? available : std::min<size_t>(length, available);
  if (fseek(file.get(), static_cast<long>(offset), SEEK_SET) != 0) return false;
  try {
    bytes.resize(size);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return fread(bytes.data(), 1, size, file.get()) == size;
}

}  // namespace

unsigned CAceMemberTable::Build(CEngineLog* log, const char* path, uint32_t offset,
                                uint32_t length) {
  Clear();
  std::vector<uint8_t> archive;
  if (!path || !ReadStretch(path, offset, length, archive)) return 0;
  CAceDecompressor decompressor(log);
  decompressor.Walk(archive.data(), archive.size(), path, *this);
  return GetCount();
}

bool CAceMemberTable::Add(const char* name, size_t nameLength, uint32_t size) {
  if (IsFull()) return false;
  try {
    Entry entry;
    // The stored name ends at its first zero byte, as a C string would.
    entry.name.assign(name, strnlen(name, nameLength));
    for (char& c : entry.name)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    entry.data.resize(size);  // the archive's claim: too large is a bad archive
    m_entries.push_back(std::move(entry));
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

void CAceMemberTable::RemoveLast() {
  if (!m_entries.empty()) m_entries.pop_back();
}

const char* CAceMemberTable::GetName(unsigned index) const {
  return index < m_entries.size() ? m_entries[index].name.c_str() : nullptr;
}

uint32_t CAceMemberTable::GetSize(unsigned index) const {
  return index < m_entries.size() ? static_cast<uint32_t>(m_entries[index].data.size()) : 0;
}

uint8_t* CAceMemberTable::GetData(unsigned index) {
  return index < m_entries.size() ? m_entries[index].data.data() : nullptr;
}

int CAceMemberTable::Find(const char* name) const {
  if (!name) return -1;
  for (size_t i = 0; i < m_entries.size(); ++i)
    if (m_entries[i].name == name) return static_cast<int>(i);
  return -1;
}
