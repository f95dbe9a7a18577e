#pragma once
// Writes chunks of the engine's scene and object files to a stdio stream: a 4-byte tag, a u32
// size that does not count the 8 header bytes, then the payload, all little-endian.
//
// Every chunk writer takes the caller's running total and adds to it what it wrote; a container
// takes its size word from the growth of that total while its sub-chunks are written, so the
// total of a finished file equals the bytes after the file header. Any fwrite that writes
// nothing fails the chunk at once; the file-level writer reports it.
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "windef.h"

class CChunkWriter {
 public:
  // Where a container's size word lies and the running total its count starts from.
  struct ContainerMark {
    long sizePosition = -1;
    UINT totalAtStart = 0;
  };

  CChunkWriter(FILE* stream, UINT& total) : m_pStream(stream), m_total(total) {}

  FILE* Stream() const { return m_pStream; }
  UINT& Total() const { return m_total; }

  // Payload fields. They do not touch the running total: the chunk forms below count.
  bool Tag(const char* tag);
  bool U32(uint32_t value);
  bool I32(int32_t value) { return U32(static_cast<uint32_t>(value)); }
  bool U16(uint16_t value);
  bool F32(float value);
  bool Bytes(const void* data, size_t size);
  // A NUL-padded text field of `width` bytes; a longer text is cut so that the field always
  // ends with a NUL.
  bool Text(const char* text, size_t width);

  // A chunk whose size is known beforehand: tag, size, then the fields `payload` writes through
  // this writer, which must come to exactly `size` bytes. Adds size + 8 to the running total.
  template <class Payload>
  bool FixedChunk(const char* tag, UINT size, Payload&& payload) {
    if (!Tag(tag) || !U32(size)) return false;
    const uint64_t before = m_written;
    if (!payload()) return false;
    return m_written - before == size && AddToTotal(uint64_t{size} + 8);
  }
  bool U32Chunk(const char* tag, uint32_t value) {
    return FixedChunk(tag, 4, [&] { return U32(value); });
  }
  bool F32Chunk(const char* tag, float value) {
    return FixedChunk(tag, 4, [&] { return F32(value); });
  }

  // A container: the tag and a placeholder (the tag again) that EndContainer overwrites with
  // the growth of the running total since the mark was set. A caller may move
  // mark.totalAtStart on to leave leading sub-chunks out of the size word.
  bool BeginContainer(const char* tag, ContainerMark& mark);
  // Patches the size word and adds 8 for the container's header.
  bool EndContainer(const ContainerMark& mark);
  template <class Body>
  bool Container(const char* tag, Body&& body) {
    ContainerMark mark;
    return BeginContainer(tag, mark) && body() && EndContainer(mark);
  }

  // The file header: the magic and its size placeholder; the running total starts at 0.
  bool BeginFile(const char* magic, ContainerMark& mark);
  // Stores the running total as the file's size and flushes; true only when the stream stands
  // at the running total + 8.
  bool EndFile(const ContainerMark& mark);

  // Counts payload fields a container writes between its sub-chunks. Refuses a total past
  // 4 GB, which no size word could hold.
  bool AddToTotal(uint64_t bytes);

 private:
  bool Raw(const void* data, size_t size);
  bool PatchSize(long sizePosition, UINT size);

  FILE* m_pStream;
  UINT& m_total;
  uint64_t m_written = 0;  // payload bytes written through this writer, to check fixed sizes
};
