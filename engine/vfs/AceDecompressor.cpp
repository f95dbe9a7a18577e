#include "vfs/AceDecompressor.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "vfs/AceCommentDecoder.h"
#include "vfs/AceCrc32.h"
#include "vfs/AceMemberTable.h"
#include "core/EngineLog.h"

namespace {

const char kSource[] = "Ace";

constexpr char kSignature[] = "**ACE**";
constexpr size_t kSignatureLength = 7;
constexpr size_t kSignatureSearchLength = 65536;

constexpr uint8_t kMainHeader = 0;
constexpr uint8_t kFileHeader = 1;

constexpr uint16_t kFlagAddSize = 0x0001;
constexpr uint16_t kFlagComment = 0x0002;
constexpr uint16_t kFlagSolid = 0x8000;

// Main header: type, flags, signature, four version and volume bytes, creation time, eight
// reserved bytes, then the length of an authenticity text, the text, and the comment.
constexpr size_t kMainAuthenticitySizeOffset = 26;

// File header: type, flags, then the packed size (the add size) and these.
constexpr size_t kFileOriginalSizeOffset = 7;
constexpr size_t kFileCrcOffset = 19;
constexpr size_t kFileMethodOffset = 23;
constexpr size_t kFileParametersOffset = 25;
constexpr size_t kFileNameSizeOffset = 29;
constexpr size_t kFileNameOffset = 31;
// The parameters' low 4 bits give the dictionary the member needs, from 2^10 bytes on.
constexpr unsigned kDictionaryBitsBase = 10;

uint16_t Read16(const uint8_t* bytes) { return static_cast<uint16_t>(bytes[0] | bytes[1] << 8); }

uint32_t Read32(const uint8_t* bytes) {
  return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
         static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

// A bound on what `packedSize` bytes can unpack to: stored data as it is; LZ77 data at best
// codes a match of 258 bytes in two bits.
uint64_t MostUnpackedFrom(unsigned method, size_t packedSize) {
  return method == CAceMemberDecoder::kMethodStored ? packedSize : uint64_t{packedSize} * 8 * 129;
}

// The comment behind a 16-bit size at `offset`, when it lies inside the header.
bool LocateComment(const uint8_t* bytes, size_t size, size_t offset, const uint8_t*& comment,
                   size_t& commentSize) {
  if (offset + 2 > size) return false;
  commentSize = Read16(bytes + offset);
  if (commentSize > size - offset - 2) return false;
  comment = bytes + offset + 2;
  return true;
}

}  // namespace

CAceDecompressor::CAceDecompressor(CEngineLog* log, unsigned maxDictionaryBits)
    : m_log(log), m_maxDictionaryBits(maxDictionaryBits) {}

void CAceDecompressor::LogError(const char* format, const char* member) {
  if (!m_log) return;
  if (member)
    m_log->Log(kSource, __LINE__, CEngineLog::kLevelError, format, m_archiveName, member);
  else
    m_log->Log(kSource, __LINE__, CEngineLog::kLevelError, format, m_archiveName);
}

unsigned CAceDecompressor::Walk(const uint8_t* archive, size_t size, const char* archiveName,
                                CAceMemberTable& table) {
  m_archive = archive;
  m_archiveSize = archive ? size : 0;
  m_archiveName = archiveName ? archiveName : "";
  m_errorCode = kNoError;
  m_crcError = false;
  m_solid = false;
  m_firstMember = true;
  m_mainComment.clear();

  // The archive must begin with its main header, and carry the signature near its start.
  const uint8_t* searchEnd = m_archive + std::min(m_archiveSize, kSignatureSearchLength);
  if (std::search(m_archive, searchEnd, kSignature, kSignature + kSignatureLength) == searchEnd)
    return 0;
  Header header;
  if (ReadHeader(0, header) != HeaderRead::kRead || header.type != kMainHeader ||
      !ReadMainHeader(header)) {
    LogError("ERROR! - Damaged Header In ACE Archive: %s\n");
    return 0;
  }

  // The dictionary lives for one walk, across the members of a solid archive.
  CAceMemberDecoder decoder(m_maxDictionaryBits);
  const unsigned countBefore = table.GetCount();
  size_t position = 0;
  for (;;) {
    // Data behind a header that runs past the archive's end is cut at the end.
    const size_t dataStart = position + 4 + header.size;
    const size_t dataSize = std::min<size_t>(header.addSize, m_archiveSize - dataStart);
    if (header.type == kFileHeader &&
        !ExtractMember(header, m_archive + dataStart, dataSize, decoder, table))
      break;
    position = dataStart + dataSize;

    const HeaderRead read = ReadHeader(position, header);
    if (read == HeaderRead::kEnd) break;
    if (read == HeaderRead::kDamaged) {
      LogError("ERROR! - Damaged Header In ACE Archive: %s\n");
      break;
    }
  }
  return table.GetCount() - countBefore;
}

CAceDecompressor::HeaderRead CAceDecompressor::ReadHeader(size_t position, Header& header) {
  const size_t left = m_archiveSize - position;
  if (left < 4) return HeaderRead::kEnd;
  const uint16_t storedCrc = Read16(m_archive + position);
  const size_t size = Read16(m_archive + position + 2);
  // At least type and flags, and no further than the archive goes.
  if (size < 3 || size > left - 4) return HeaderRead::kDamaged;

  header.bytes = m_archive + position + 4;
  header.size = size;
  const uint32_t crc = CAceCrc32::Update(CAceCrc32::kStart, header.bytes, size);
  if ((crc & 0xFFFF) != storedCrc) return HeaderRead::kDamaged;

  header.type = header.bytes[0];
  header.flags = Read16(header.bytes + 1);
  header.addSize = 0;
  if (header.flags & kFlagAddSize) {
    if (size < 7) return HeaderRead::kDamaged;
    header.addSize = Read32(header.bytes + 3);
  }
  const size_t kept = std::min(size, m_headerBuffer.size());
  std::copy(header.bytes, header.bytes + kept, m_headerBuffer.begin());
  return HeaderRead::kRead;
}

bool CAceDecompressor::ReadMainHeader(const Header& header) {
  const uint8_t* bytes = header.bytes;
  const size_t size = header.size;
  m_solid = (header.flags & kFlagSolid) != 0;
  if (!(header.flags & kFlagComment)) return true;

  if (kMainAuthenticitySizeOffset >= size) return false;
  const size_t commentOffset = kMainAuthenticitySizeOffset + 1 + bytes[kMainAuthenticitySizeOffset];
  const uint8_t* comment;
  size_t commentSize;
  if (!LocateComment(bytes, size, commentOffset, comment, commentSize)) return false;
  m_mainComment = DecodeComment(header, comment, commentSize);
  return true;
}

std::string CAceDecompressor::DecodeComment(const Header& header, const uint8_t* packed,
                                            size_t packedSize) {
  const size_t used = std::min(header.size, m_headerBuffer.size());
  const size_t room = m_headerBuffer.size() - used;
  if (room == 0) return std::string();
  char* text = reinterpret_cast<char*>(m_headerBuffer.data() + used);
  const size_t length = CAceCommentDecoder::Decode(packed, packedSize, text, room);
  return std::string(text, length);
}

bool CAceDecompressor::ExtractMember(const Header& header, const uint8_t* packed,
                                     size_t packedSize, CAceMemberDecoder& decoder,
                                     CAceMemberTable& table) {
  const uint8_t* bytes = header.bytes;
  if (header.size < kFileNameOffset ||
      Read16(bytes + kFileNameSizeOffset) > header.size - kFileNameOffset) {
    LogError("ERROR! - Damaged Header In ACE Archive: %s\n");
    return false;
  }
  const size_t nameSize = Read16(bytes + kFileNameSizeOffset);
  const std::string name(reinterpret_cast<const char*>(bytes + kFileNameOffset), nameSize);
  const char* memberName = name.c_str();

  if (header.flags & kFlagComment) {
    const uint8_t* comment;
    size_t commentSize;
    if (!LocateComment(bytes, header.size, kFileNameOffset + nameSize, comment, commentSize)) {
      LogError("ERROR! - Damaged Header In ACE Archive: %s\n");
      return false;
    }
    DecodeComment(header, comment, commentSize);  // read past; members' comments are not kept
  }

  const uint32_t originalSize = Read32(bytes + kFileOriginalSizeOffset);
  const uint32_t storedCrc = Read32(bytes + kFileCrcOffset);
  const unsigned method = bytes[kFileMethodOffset];
  const unsigned dictionaryBits = (Read16(bytes + kFileParametersOffset) & 15) + kDictionaryBitsBase;
  if (method != CAceMemberDecoder::kMethodStored && method != CAceMemberDecoder::kMethodLz77) {
    m_errorCode = kUnknownMethod;
    LogError("ERROR! - Unknown Compression Method In ACE Archive: %s - %s\n", memberName);
    return false;
  }
  if (method == CAceMemberDecoder::kMethodLz77 && dictionaryBits > decoder.GetDictionaryBits()) {
    m_errorCode = kDictionaryTooSmall;
    LogError("ERROR! - Dictionary Too Small For ACE Member: %s - %s\n", memberName);
    return false;
  }
  if (originalSize > MostUnpackedFrom(method, packedSize)) {
    // More than the packed data could ever give: the header lies, so nothing is allocated.
    m_crcError = true;
    LogError("ERROR! - CRC Error In ACE Archive: %s - %s\n", memberName);
    return true;
  }
  if (table.IsFull()) {
    LogError("ERROR! - Too Many Files In ACE Archive: %s\n");
    return false;
  }
  if (!table.Add(memberName, nameSize, originalSize)) {
    LogError("ERROR! - Can't Allocate Memory For File: %s - %s\n", memberName);
    return false;
  }

  uint8_t* data = table.GetData(table.GetCount() - 1);
  decoder.Prepare(packed, packedSize, method, originalSize, m_solid && !m_firstMember);
  m_firstMember = false;
  uint32_t crc = CAceCrc32::kStart;
  size_t written = 0;
  while (const size_t produced = decoder.Step(m_output.data())) {
    crc = CAceCrc32::Update(crc, m_output.data(), produced);
    std::memcpy(data + written, m_output.data(), produced);
    written += produced;
  }
  if (decoder.IsDamaged() || written != originalSize || crc != storedCrc) {
    // Data that does not check is not served as if it were the member.
    m_crcError = true;
    LogError("ERROR! - CRC Error In ACE Archive: %s - %s\n", memberName);
    table.RemoveLast();
  }
  return true;
}
