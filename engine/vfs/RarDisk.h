#pragma once
// Archives named "zkr": RAR archives (and whatever else the platform's RAR library reads),
// unpacked whole into memory when the disk is mounted; nothing is read from the archive file
// afterwards. Members are given out from memory and live as long as the disk.
#include <cstdint>

#include "vfs/ArchiveDisk.h"

class CRarDisk final : public CArchiveDisk {
 public:
  static constexpr size_t kPasswordSize = 256;
  // Answered when the library asks for a password and the mount gave none.
  static constexpr char kDefaultPassword[] = "ZeKorb-Data-Archive-Key-205";

  // A null `password` keeps the default one.
  CRarDisk(CEngineLog* log, const char* name, UINT diskKind, const char* password);
  ~CRarDisk() override;
  CRarDisk(const CRarDisk&) = delete;
  CRarDisk& operator=(const CRarDisk&) = delete;

  // Counts the members, then unpacks each into memory; false (logged) on any failure.
  bool Mount();

  // The member's data; it stays the disk's.
  BYTE* GetFileData(UINT index) override;
  UINT ReleaseFileData(BYTE* data) override;
  UINT GetArchiveType() override;

 private:
  bool CountMembers(UINT* count);
  bool UnpackMembers(UINT count);

  char m_password[kPasswordSize];
};
