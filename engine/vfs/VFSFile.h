#pragma once
// One file object of the virtual file system's pools: a loose file (through the plain-disk back
// end) or an archive member held whole in memory by its disk. Objects are reused, never freed
// while the file system lives; one is free while it is not open.
#include "ZKDXInterface.h"
#include "vfs/DiskBackEnd.h"
#include "vfs/VFSNames.h"

class CEngineLog;

class CVFSFile final : public VFSFile {
 public:
  explicit CVFSFile(CEngineLog* log);
  // Hands an open member back to its disk and closes an open loose file.
  ~CVFSFile();
  CVFSFile(const CVFSFile&) = delete;
  CVFSFile& operator=(const CVFSFile&) = delete;

  // Source VFS_SOURCE_ARCHIVE opens member `index` of `disk`; VFS_SOURCE_LOOSE_FILE opens `name`
  // with the stdio `mode`. 1 when the file is open, else 0 with the object left free. Any other
  // source is a fatal error.
  UINT Open(CVirtualDiskInterface* disk, UINT index, int source, const char* name,
            const char* mode);
  bool IsOpen() const { return m_open != 0; }
  // The disk of an open member, else null.
  CVirtualDiskInterface* GetDisk() const { return m_disk; }

  int GetFileSource() override;
  UINT GetFileLength() override;
  BYTE* GetFileBuffer() override;
  // fread's result; a member gives at most the bytes left.
  UINT Read(void* buffer, UINT size, UINT count) override;
  // Members are read-only: 0, with an error in the log.
  UINT Write(const void* buffer, UINT size, UINT count) override;
  // fgets as a text-mode read gives it: at most count - 1 bytes, up to and with the line feed,
  // CR LF read as LF, always terminated; null when nothing is left or the file is closed.
  char* Gets(char* buffer, int count) override;
  // 0 on success. A member's position stays within [0, length]: a target outside is clamped
  // to the nearer end and reported as failure (255), as is an unknown origin.
  BYTE Seek(LONG offset, int origin) override;
  LONG Tell() override;
  int Close() override;
  int Getc() override;
  const char* GetFileName() override;

 private:
  static constexpr BYTE kSeekFailed = 255;
  // The next byte without consuming it, or -1 at the end.
  int PeekByte();
  void Reset();

  char m_name[kVFSNameSize];
  CDiskBackEnd m_looseFile;
  BYTE* m_data = nullptr;
  CEngineLog* m_log;
  CVirtualDiskInterface* m_disk = nullptr;
  UINT m_length = 0;
  UINT m_position = 0;
  int m_source = VFS_SOURCE_CLOSED;
  UINT m_open = 0;
};
