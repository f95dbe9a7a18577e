#pragma once
// Walks an ACE archive held in memory: checks the main header, then reads header after header,
// checking each one's CRC, and unpacks every file member whole into a member table. Members
// whose data does not unpack to their recorded CRC are logged and left out; a damaged header,
// a member the dictionary is too small for, or an unknown method ends the walk, and what was
// unpacked before stays in the table.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "vfs/AceMemberDecoder.h"

class CEngineLog;
class CAceMemberTable;

class CAceDecompressor {
 public:
  enum ErrorCode : int {
    kNoError = 0,
    kDictionaryTooSmall = 1,
    kUnknownMethod = 10,
  };

  explicit CAceDecompressor(CEngineLog* log,
                            unsigned maxDictionaryBits = CAceMemberDecoder::kLargestDictionaryBits);

  // Adds the archive's members to `table`; `archiveName` names the archive in log lines.
  // Returns the number of members added.
  unsigned Walk(const uint8_t* archive, size_t size, const char* archiveName,
                CAceMemberTable& table);

  int GetErrorCode() const { return m_errorCode; }
  // True when some member's data did not match its CRC.
  bool HadCrcError() const { return m_crcError; }
  bool IsSolid() const { return m_solid; }
  // The archive's comment, empty when it has none.
  const std::string& GetMainComment() const { return m_mainComment; }

 private:
  struct Header {
    const uint8_t* bytes;  // behind the CRC and size fields
    size_t size;
    uint8_t type;
    uint16_t flags;
    uint32_t addSize;  // bytes of data behind the header
  };
  enum class HeaderRead { kRead, kEnd, kDamaged };

  HeaderRead ReadHeader(size_t position, Header& header);
  bool ReadMainHeader(const Header& header);
  // False when the walk has to stop.
  bool ExtractMember(const Header& header, const uint8_t* packed, size_t packedSize,
                     CAceMemberDecoder& decoder, CAceMemberTable& table);
  // Unpacks the comment at `packed` into the room the header left in the header buffer.
  std::string DecodeComment(const Header& header, const uint8_t* packed, size_t packedSize);
  void LogError(const char* format, const char* member = nullptr);

  CEngineLog* m_log;
  unsigned m_maxDictionaryBits;
  const uint8_t* m_archive = nullptr;
  size_t m_archiveSize = 0;
  const char* m_archiveName = "";

  // The current header; comments unpack into what it leaves free.
  std::array<uint8_t, 2040> m_headerBuffer{};
  std::array<uint8_t, CAceMemberDecoder::kStepSize> m_output{};

  int m_errorCode = kNoError;
  bool m_crcError = false;
  bool m_solid = false;
  bool m_firstMember = true;
  std::string m_mainComment;
};
