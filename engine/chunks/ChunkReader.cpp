#include "chunks/ChunkReader.h"

#include <cstring>

#include "ZKDXInterface.h"
#include "core/EngineLog.h"

bool ChunkTag::Is(const char* tag) const { return memcmp(bytes, tag, 4) == 0; }

void ChunkReport::Error(const char* format) const {
  if (log != nullptr && format != nullptr)
    log->Log(source, line, CEngineLog::kLevelError, format, subject != nullptr ? subject : "",
             detail != nullptr ? detail : "");
}

CChunkReader::Payload::Payload(CChunkReader& reader, uint64_t size)
    : m_reader(reader),
      m_end(reader.m_end),
      m_outerEnd(reader.m_end),
      m_fits(size <= reader.BytesLeft()) {
  if (!m_fits) return;
  m_end = reader.m_position + size;
  reader.m_end = m_end;
}

CChunkReader::Payload::~Payload() { m_reader.m_end = m_outerEnd; }

CChunkReader::CChunkReader(VFSFile* file) : m_pFile(file) {
  const LONG position = file->Tell();
  m_position = position > 0 ? static_cast<uint64_t>(position) : 0;
  const uint64_t length = file->GetFileLength();
  m_end = length > m_position ? length : m_position;
}

bool CChunkReader::Raw(void* buffer, size_t size) {
  if (size > BytesLeft()) return false;
  if (size == 0) return true;
  if (size > UINT32_MAX || m_pFile->Read(buffer, static_cast<UINT>(size), 1) != 1) return false;
  m_position += size;
  return true;
}

bool CChunkReader::Tag(ChunkTag& tag) {
  char bytes[4];
  if (!Raw(bytes, sizeof bytes)) return false;
  memcpy(tag.bytes, bytes, sizeof bytes);
  tag.bytes[4] = '\0';
  return true;
}

bool CChunkReader::U32(uint32_t& value) {
  unsigned char bytes[4];
  if (!Raw(bytes, sizeof bytes)) return false;
  value = uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 |
          uint32_t{bytes[3]} << 24;
  return true;
}

bool CChunkReader::I32(int32_t& value) {
  uint32_t bits;
  if (!U32(bits)) return false;
  value = static_cast<int32_t>(bits);
  return true;
}

bool CChunkReader::U16(uint16_t& value) {
  unsigned char bytes[2];
  if (!Raw(bytes, sizeof bytes)) return false;
  value = static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
  return true;
}

bool CChunkReader::F32(float& value) {
  uint32_t bits;
  if (!U32(bits)) return false;
  static_assert(sizeof bits == sizeof value);
  memcpy(&value, &bits, sizeof value);
  return true;
}

bool CChunkReader::Bytes(void* buffer, size_t size) { return Raw(buffer, size); }

bool CChunkReader::Text(char* buffer, size_t width) {
  if (width == 0) return true;
  const bool ok = Raw(buffer, width);
  buffer[width - 1] = '\0';
  return ok;
}

bool CChunkReader::SeekTo(uint64_t position) {
  if (position > static_cast<uint64_t>(INT32_MAX)) return false;
  if (m_pFile->Seek(static_cast<LONG>(position), 0) != 0) return false;
  m_position = position;
  return true;
}

bool CChunkReader::NextTagIs(const char* tag) {
  const uint64_t start = m_position;
  ChunkTag next;
  if (!Tag(next)) return false;
  if (next.Is(tag)) return true;
  SeekTo(start);
  return false;
}

bool CChunkReader::Skip(uint64_t bytes) {
  if (bytes > BytesLeft()) return false;
  return bytes == 0 || SeekTo(m_position + bytes);
}

bool CChunkReader::SkipChunk() {
  uint32_t size = 0;
  return U32(size) && Skip(size);
}

bool CChunkReader::Container(std::initializer_list<Rule> rules, const ChunkReport& report,
                             const char* incorrectSize) {
  uint32_t size = 0;
  if (!U32(size)) return false;
  return SubChunks(size, rules, report, incorrectSize);
}

bool CChunkReader::SubChunks(uint64_t size, std::initializer_list<Rule> rules,
                             const ChunkReport& report, const char* incorrectSize) {
  Payload payload(*this, size);
  if (!payload.Fits()) {
    report.Error(incorrectSize);
    return false;
  }
  while (!AtEnd()) {
    // Less than a chunk header left: the container's size does not match what it holds.
    if (BytesLeft() < 8) {
      report.Error(incorrectSize);
      return false;
    }
    ChunkTag tag;
    if (!Tag(tag)) return false;
    const Rule* match = nullptr;
    for (const Rule& rule : rules)
      if (tag.Is(rule.tag)) {
        match = &rule;
        break;
      }
    if (match == nullptr) {
      uint32_t skipped = 0;
      if (!U32(skipped)) return false;
      if (!Skip(skipped)) {
        report.Error(incorrectSize);
        return false;
      }
      continue;
    }
    if (!match->read(*this)) {
      report.Error(match->failure);
      return false;
    }
  }
  return true;
}
