#include "chunks/ChunkWriter.h"

#include <cstring>

bool CChunkWriter::Raw(const void* data, size_t size) {
  if (size == 0) return true;
  if (fwrite(data, size, 1, m_pStream) != 1) return false;
  m_written += size;
  return true;
}

bool CChunkWriter::Tag(const char* tag) { return Raw(tag, 4); }

bool CChunkWriter::U32(uint32_t value) {
  const unsigned char bytes[4] = {
      static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
      static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
  return Raw(bytes, sizeof bytes);
}

bool CChunkWriter::U16(uint16_t value) {
  const unsigned char bytes[2] = {static_cast<unsigned char>(value),
                                  static_cast<unsigned char>(value >> 8)};
  return Raw(bytes, sizeof bytes);
}

bool CChunkWriter::F32(float value) {
  uint32_t bits;
  static_assert(sizeof bits == sizeof value);
  memcpy(&bits, &value, sizeof bits);
  return U32(bits);
}

bool CChunkWriter::Bytes(const void* data, size_t size) { return Raw(data, size); }

bool CChunkWriter::Text(const char* text, size_t width) {
  if (width == 0) return true;
  char field[256] = {};
  const size_t room = width - 1;
  const size_t length = text != nullptr ? strnlen(text, room) : 0;
  // Fields wider than the local buffer are written in two parts: the text, then the padding.
  if (width > sizeof field) {
    if (!Raw(text, length)) return false;
    for (size_t left = width - length; left > 0;) {
      const size_t part = left < sizeof field ? left : sizeof field;
      if (!Raw(field, part)) return false;
      left -= part;
    }
    return true;
  }
  if (length > 0) memcpy(field, text, length);
  return Raw(field, width);
}

bool CChunkWriter::AddToTotal(uint64_t bytes) {
  if (uint64_t{m_total} + bytes > UINT32_MAX) return false;
  m_total += static_cast<UINT>(bytes);
  return true;
}

bool CChunkWriter::PatchSize(long sizePosition, UINT size) {
  const long end = ftell(m_pStream);
  if (end < 0 || fseek(m_pStream, sizePosition, SEEK_SET) != 0) return false;
  const uint64_t written = m_written;
  const bool ok = U32(size);
  m_written = written;  // the patch overwrites bytes already counted
  return ok && fseek(m_pStream, end, SEEK_SET) == 0;
}

bool CChunkWriter::BeginContainer(const char* tag, ContainerMark& mark) {
  if (!Tag(tag)) return false;
  mark.sizePosition = ftell(m_pStream);
  if (mark.sizePosition < 0) return false;
  // The placeholder is the tag itself: a save that stops half-way leaves it in the file.
  if (!Tag(tag)) return false;
  mark.totalAtStart = m_total;
  return true;
}

bool CChunkWriter::EndContainer(const ContainerMark& mark) {
  if (m_total < mark.totalAtStart) return false;
  return PatchSize(mark.sizePosition, m_total - mark.totalAtStart) && AddToTotal(8);
}

bool CChunkWriter::BeginFile(const char* magic, ContainerMark& mark) {
  m_total = 0;
  return BeginContainer(magic, mark);
}

bool CChunkWriter::EndFile(const ContainerMark& mark) {
  if (!PatchSize(mark.sizePosition, m_total) || fflush(m_pStream) != 0) return false;
  const long end = ftell(m_pStream);
  return end >= 0 && static_cast<uint64_t>(end) == uint64_t{m_total} + 8;
}
