#pragma once
// One open archive of the RAR library's interface, read through libarchive. The caller walks it
// header by header: ReadHeader, then ProcessFile to skip or test the member; tested data goes to
// the caller's callback in blocks.
#include <cstdint>
#include <memory>
#include <string>

#include "ArchiveIndex.h"
#include "unrar.h"

struct archive;
struct archive_entry;

// What RARReadHeader(Ex) reports of a member.
struct RarMemberInfo {
  std::string name;  // '\' separated, as the archive's producer on Windows stored it
  uint64_t packedSize = 0;
  uint64_t unpackedSize = 0;
  UINT flags = 0;  // RHDF_*
  UINT crc = 0;
  UINT dosTime = 0;
  uint64_t fileTime = 0;  // 100 ns units since 1601, 0 when unknown
  UINT attributes = 0;
};

class CRarArchive {
 public:
  ~CRarArchive();
  CRarArchive(const CRarArchive&) = delete;
  CRarArchive& operator=(const CRarArchive&) = delete;

  // Opens `name` (a Windows-style path) in RAR_OM_* `mode`; null with an ERAR_* code in `result`
  // when it cannot be opened or is no archive this library reads.
  static std::unique_ptr<CRarArchive> Open(const char* name, UINT mode, int& result);

  void SetCallback(UNRARCALLBACK callback, LPARAM userData);
  void SetPassword(const char* password);
  const std::string& Name() const { return m_name; }

  // ERAR_SUCCESS with `info` filled, ERAR_END_ARCHIVE, or ERAR_BAD_DATA.
  int ReadHeader(RarMemberInfo& info);
  // RAR_SKIP or RAR_TEST the member of the last ReadHeader.
  int ProcessFile(int operation);

 private:
  CRarArchive(std::string name, UINT mode, const std::string& path);
  static const char* PassphraseCallback(archive* reader, void* self);
  const char* NextPassphrase();
  bool IsRar() const;
  int Test();
  // The ERAR_* code for a libarchive failure while reading member data.
  int DataError(int result);

  std::string m_name;
  UINT m_mode;
  CArchiveIndex m_index;
  size_t m_memberNumber = 0;                           // of the member whose header was read last
  const CArchiveIndex::Entry* m_indexEntry = nullptr;  // its index entry, when known
  archive* m_reader = nullptr;
  archive_entry* m_entry = nullptr;
  int m_pendingHeader = 0;     // libarchive's result of the header read ahead at Open
  bool m_havePending = false;  // the first header was read ahead and not yet handed out
  bool m_haveMember = false;   // a header was handed out and its member not yet processed
  bool m_failed = false;       // libarchive gave up on the archive; every later read fails
  UNRARCALLBACK m_callback = nullptr;
  LPARAM m_userData = 0;
  std::string m_password;
  bool m_havePassword = false;
  bool m_passwordGiven = false;     // libarchive holds our password from now on
  bool m_passwordMissing = false;   // this member asked and nobody had a password
  bool m_passwordRejected = false;  // this member asked again: the password did not fit
};
