#pragma once
// What the file tests share: a stdio stream whose bytes can be read back after a writer ran,
// and a reader over bytes made by the chunk builder.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

#include "MemoryVFSFile.h"
#include "chunks/ChunkReader.h"

// A temporary stream that writers write to; Bytes() gives back everything written.
class WrittenStream {
 public:
  WrittenStream() : m_stream(tmpfile()) {}
  ~WrittenStream() {
    if (m_stream != nullptr) fclose(m_stream);
  }
  FILE* Stream() const { return m_stream; }
  std::vector<uint8_t> Bytes() const {
    fflush(m_stream);
    const long end = ftell(m_stream);
    std::vector<uint8_t> bytes(end > 0 ? size_t(end) : 0);
    rewind(m_stream);
    if (!bytes.empty() && fread(bytes.data(), bytes.size(), 1, m_stream) != 1) bytes.clear();
    fseek(m_stream, 0, SEEK_END);
    return bytes;
  }

 private:
  FILE* m_stream;
};

// A stream that refuses every write, as a full disk or a read-only file does.
class RefusingStream {
 public:
  RefusingStream() : m_stream(fopen("/dev/null", "rb")) {}
  ~RefusingStream() {
    if (m_stream != nullptr) fclose(m_stream);
  }
  FILE* Stream() const { return m_stream; }

 private:
  FILE* m_stream;
};

// A file in memory and a chunk reader over it, positioned at its first byte.
struct MemoryChunkFile {
  explicit MemoryChunkFile(std::vector<uint8_t> bytes) : file(std::move(bytes)), in(&file) {}
  CMemoryVFSFile file;
  CChunkReader in;
};

inline uint32_t U32At(const std::vector<uint8_t>& bytes, size_t offset) {
  return uint32_t(bytes[offset]) | uint32_t(bytes[offset + 1]) << 8 |
         uint32_t(bytes[offset + 2]) << 16 | uint32_t(bytes[offset + 3]) << 24;
}
