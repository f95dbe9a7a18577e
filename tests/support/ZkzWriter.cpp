#include "ZkzWriter.h"

#include <zlib.h>

#include <algorithm>
#include <fstream>
#include <stdexcept>

namespace {

constexpr size_t kRecordSize = 2072;
constexpr size_t kNameSize = 2048;

void PutLittleEndian32(std::string& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = char(value >> (8 * i));
}

void AppendLittleEndian32(std::string& bytes, uint32_t value) {
  bytes.append(4, '\0');
  PutLittleEndian32(bytes, bytes.size() - 4, value);
}

std::string Compress(const std::string& data, int level) {
  uLongf length = compressBound(uLong(data.size()));
  std::string packed(length, '\0');
  if (compress2(reinterpret_cast<Bytef*>(packed.data()), &length,
                reinterpret_cast<const Bytef*>(data.data()), uLong(data.size()), level) != Z_OK)
    throw std::runtime_error("zlib refused to compress");
  packed.resize(length);
  return packed;
}

}  // namespace

ZkzWriter& ZkzWriter::Add(const std::string& name, const std::string& data) {
  m_members.push_back({name, data, std::nullopt, std::nullopt});
  return *this;
}

ZkzWriter& ZkzWriter::RecordSizeOfLast(uint32_t size) {
  m_members.back().recordedSize = size;
  return *this;
}

ZkzWriter& ZkzWriter::RecordOffsetOfLast(uint32_t offset) {
  m_members.back().recordedOffset = offset;
  return *this;
}

ZkzWriter& ZkzWriter::Signature(const std::string& signature) {
  m_signature = signature;
  return *this;
}

ZkzWriter& ZkzWriter::HeaderBlock(const std::string& block) {
  m_headerBlock = block;
  return *this;
}

ZkzWriter& ZkzWriter::StoredCount(uint32_t count) {
  m_storedCount = count;
  return *this;
}

std::string ZkzWriter::Bytes() const {
  std::vector<std::string> streams;
  for (const Member& member : m_members) streams.push_back(Compress(member.data, 9));

  // The table is stored without compression, so its length does not depend on the offsets
  // written into it; the members follow it.
  std::string table(m_members.size() * kRecordSize, '\0');
  size_t tableStreamLength = Compress(table, Z_NO_COMPRESSION).size();
  uint32_t offset = uint32_t(4 + 4 + m_headerBlock.size() + 4 + tableStreamLength);
  for (size_t i = 0; i < m_members.size(); ++i) {
    const Member& member = m_members[i];
    size_t record = i * kRecordSize;
    table.replace(record + 4, std::min(member.name.size(), kNameSize), member.name, 0, kNameSize);
    PutLittleEndian32(table, record + 2052, member.recordedOffset.value_or(offset));
    PutLittleEndian32(table, record + 2056,
                      member.recordedSize.value_or(uint32_t(member.data.size())));
    PutLittleEndian32(table, record + 2060, uint32_t(streams[i].size()));
    offset += uint32_t(streams[i].size());
  }

  std::string bytes = m_signature;
  AppendLittleEndian32(bytes, uint32_t(m_headerBlock.size()));
  bytes += m_headerBlock;
  AppendLittleEndian32(bytes, m_storedCount.value_or(uint32_t(m_members.size())));
  bytes += Compress(table, Z_NO_COMPRESSION);
  for (const std::string& stream : streams) bytes += stream;
  return bytes;
}

void ZkzWriter::Write(const std::string& path) const {
  std::ofstream file(path, std::ios::binary);
  std::string bytes = Bytes();
  file.write(bytes.data(), std::streamsize(bytes.size()));
  if (!file) throw std::runtime_error("cannot write " + path);
}
