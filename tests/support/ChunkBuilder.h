#pragma once
// Builds scene and object files, or pieces of them, byte by byte for tests: containers whose
// size words are filled in when they close, fixed chunks, raw fields, and the deliberate
// mistakes a reader must survive (wrong sizes, wrong counts, cut-off files, unknown tags).
//
//   CChunkBuilder file;
//   file.Begin("ZKS5").Chunk("FFRM", [](CChunkBuilder& b) { b.U32(1); }).End();
//   file.Begin("LITE").Begin("NAME", 255).Text("lamp", 256).End().End();  // wrong size word
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CChunkBuilder {
 public:
  // Fields, little-endian.
  CChunkBuilder& Tag(const char* tag);  // exactly four bytes, no terminator
  CChunkBuilder& U32(uint32_t value);
  CChunkBuilder& U16(uint16_t value);
  CChunkBuilder& F32(float value);
  CChunkBuilder& Raw(const std::vector<uint8_t>& bytes);
  CChunkBuilder& Raw(const void* data, size_t size);
  // A NUL-padded field of `width` bytes; a longer text fills it without a terminator.
  CChunkBuilder& Text(const std::string& text, size_t width);

  // Opens a chunk: the tag and a size word that End() fills with the payload's length.
  CChunkBuilder& Begin(const char* tag);
  // The same with a size word that End() leaves as given, right or wrong.
  CChunkBuilder& Begin(const char* tag, uint32_t statedSize);
  CChunkBuilder& End();
  // Begin(tag), what `payload` adds, End().
  CChunkBuilder& Chunk(const char* tag, const std::function<void(CChunkBuilder&)>& payload);
  // A chunk with a size word as given and the payload that follows it.
  CChunkBuilder& Chunk(const char* tag, uint32_t statedSize,
                       const std::function<void(CChunkBuilder&)>& payload);
  CChunkBuilder& U32Chunk(const char* tag, uint32_t value);
  CChunkBuilder& F32Chunk(const char* tag, float value);

  // The bytes so far; every chunk must have been closed.
  const std::vector<uint8_t>& Bytes() const;
  // The first `length` bytes: a file cut off in the middle.
  std::vector<uint8_t> Truncated(size_t length) const;
  size_t Size() const { return m_bytes.size(); }

 private:
  struct Open {
    size_t sizeOffset;
    bool fillSize;
  };
  void PutU32At(size_t offset, uint32_t value);

  std::vector<uint8_t> m_bytes;
  std::vector<Open> m_open;
};
