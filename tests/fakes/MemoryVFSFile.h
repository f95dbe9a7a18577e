#pragma once
// A VFSFile over bytes in memory, standing in for a file inside an archive. An archive member
// does not check reads against its length, so this fake counts every read or seek that asks
// for bytes past the end (and refuses it): a reader that trusts a size from the file shows up
// as a non-zero ReadsPastEnd().
#include <cstdint>
#include <string>
#include <vector>

#include "ZKDXInterface.h"

class CMemoryVFSFile final : public VFSFile {
 public:
  explicit CMemoryVFSFile(std::vector<uint8_t> bytes, std::string name = "memory.zks")
      : m_bytes(std::move(bytes)), m_name(std::move(name)) {}
  virtual ~CMemoryVFSFile() = default;

  int GetFileSource() override { return 1; }
  UINT GetFileLength() override { return static_cast<UINT>(m_bytes.size()); }
  BYTE* GetFileBuffer() override { return m_bytes.data(); }
  UINT Read(void* buffer, UINT size, UINT count) override;
  UINT Write(const void*, UINT, UINT) override { return 0; }
  char* Gets(char* buffer, int count) override;
  BYTE Seek(LONG offset, int origin) override;
  LONG Tell() override { return static_cast<LONG>(m_position); }
  int Close() override { return 0; }
  int Getc() override;
  const char* GetFileName() override { return m_name.c_str(); }

  int ReadsPastEnd() const { return m_readsPastEnd; }
  size_t Position() const { return m_position; }

 private:
  std::vector<uint8_t> m_bytes;
  std::string m_name;
  size_t m_position = 0;
  int m_readsPastEnd = 0;
};
