#pragma once
// Record runs read and written in one piece: the run's bytes come from the file in one read and
// are decoded here, or are encoded here and go to the file in one write. Both sides answer the
// field calls of the chunk reader and writer (little-endian, the same texts), so a record's
// layout is written once for both.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

class CRecordBytesReader {
 public:
  CRecordBytesReader(const unsigned char* bytes, size_t size) : m_pBytes(bytes), m_size(size) {}

  bool U32(uint32_t& value) {
    unsigned char b[4];
    if (!Bytes(b, sizeof b)) return false;
    value = uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24;
    return true;
  }
  bool U16(uint16_t& value) {
    unsigned char b[2];
    if (!Bytes(b, sizeof b)) return false;
    value = static_cast<uint16_t>(b[0] | b[1] << 8);
    return true;
  }
  bool F32(float& value) {
    uint32_t bits;
    if (!U32(bits)) return false;
    memcpy(&value, &bits, sizeof value);
    return true;
  }
  bool Bytes(void* buffer, size_t size) {
    if (size > m_size - m_position) return false;
    memcpy(buffer, m_pBytes + m_position, size);
    m_position += size;
    return true;
  }
  // A fixed-width text field; its last byte is always NUL afterwards.
  bool Text(char* buffer, size_t width) {
    if (width == 0) return true;
    const bool ok = Bytes(buffer, width);
    buffer[width - 1] = '\0';
    return ok;
  }

 private:
  const unsigned char* m_pBytes;
  size_t m_size;
  size_t m_position = 0;
};

class CRecordBytesWriter {
 public:
  explicit CRecordBytesWriter(size_t expected) { m_bytes.reserve(expected); }

  bool U32(uint32_t value) {
    const unsigned char b[4] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
                                static_cast<unsigned char>(value >> 16),
                                static_cast<unsigned char>(value >> 24)};
    return Bytes(b, sizeof b);
  }
  bool U16(uint16_t value) {
    const unsigned char b[2] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8)};
    return Bytes(b, sizeof b);
  }
  bool F32(float value) {
    uint32_t bits;
    memcpy(&bits, &value, sizeof bits);
    return U32(bits);
  }
  bool Bytes(const void* data, size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    m_bytes.insert(m_bytes.end(), bytes, bytes + size);
    return true;
  }
  // A NUL-padded field of `width` bytes, cut so that it always ends with a NUL.
  bool Text(const char* text, size_t width) {
    if (width == 0) return true;
    const size_t length = text != nullptr ? strnlen(text, width - 1) : 0;
    Bytes(text, length);
    m_bytes.insert(m_bytes.end(), width - length, 0);
    return true;
  }

  const std::vector<unsigned char>& Encoded() const { return m_bytes; }

 private:
  std::vector<unsigned char> m_bytes;
};
