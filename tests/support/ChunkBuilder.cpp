#include "ChunkBuilder.h"

#include <cstring>
#include <stdexcept>

CChunkBuilder& CChunkBuilder::Raw(const void* data, size_t size) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  m_bytes.insert(m_bytes.end(), bytes, bytes + size);
  return *this;
}

CChunkBuilder& CChunkBuilder::Raw(const std::vector<uint8_t>& bytes) {
  return Raw(bytes.data(), bytes.size());
}

CChunkBuilder& CChunkBuilder::Tag(const char* tag) {
  if (strlen(tag) != 4) throw std::invalid_argument("a tag has four characters");
  return Raw(tag, 4);
}

CChunkBuilder& CChunkBuilder::U32(uint32_t value) {
  const uint8_t bytes[4] = {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16),
                            uint8_t(value >> 24)};
  return Raw(bytes, 4);
}

CChunkBuilder& CChunkBuilder::U16(uint16_t value) {
  const uint8_t bytes[2] = {uint8_t(value), uint8_t(value >> 8)};
  return Raw(bytes, 2);
}

CChunkBuilder& CChunkBuilder::F32(float value) {
  uint32_t bits;
  memcpy(&bits, &value, 4);
  return U32(bits);
}

CChunkBuilder& CChunkBuilder::Text(const std::string& text, size_t width) {
  std::vector<uint8_t> field(width, 0);
  memcpy(field.data(), text.data(), text.size() < width ? text.size() : width);
  return Raw(field);
}

CChunkBuilder& CChunkBuilder::Begin(const char* tag) {
  Tag(tag);
  m_open.push_back({m_bytes.size(), true});
  return U32(0);
}

CChunkBuilder& CChunkBuilder::Begin(const char* tag, uint32_t statedSize) {
  Tag(tag);
  m_open.push_back({m_bytes.size(), false});
  return U32(statedSize);
}

CChunkBuilder& CChunkBuilder::End() {
  if (m_open.empty()) throw std::logic_error("End() without Begin()");
  const Open open = m_open.back();
  m_open.pop_back();
  if (open.fillSize) PutU32At(open.sizeOffset, uint32_t(m_bytes.size() - open.sizeOffset - 4));
  return *this;
}

CChunkBuilder& CChunkBuilder::Chunk(const char* tag,
                                    const std::function<void(CChunkBuilder&)>& payload) {
  Begin(tag);
  payload(*this);
  return End();
}

CChunkBuilder& CChunkBuilder::Chunk(const char* tag, uint32_t statedSize,
                                    const std::function<void(CChunkBuilder&)>& payload) {
  Begin(tag, statedSize);
  payload(*this);
  return End();
}

CChunkBuilder& CChunkBuilder::U32Chunk(const char* tag, uint32_t value) {
  return Chunk(tag, [&](CChunkBuilder& b) { b.U32(value); });
}

CChunkBuilder& CChunkBuilder::F32Chunk(const char* tag, float value) {
  return Chunk(tag, [&](CChunkBuilder& b) { b.F32(value); });
}

const std::vector<uint8_t>& CChunkBuilder::Bytes() const {
  if (!m_open.empty()) throw std::logic_error("a chunk is still open");
  return m_bytes;
}

std::vector<uint8_t> CChunkBuilder::Truncated(size_t length) const {
  const std::vector<uint8_t>& bytes = Bytes();
  return {bytes.begin(), bytes.begin() + (length < bytes.size() ? length : bytes.size())};
}

void CChunkBuilder::PutU32At(size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) m_bytes[offset + i] = uint8_t(value >> (8 * i));
}
