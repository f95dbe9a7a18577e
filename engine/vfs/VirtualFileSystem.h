#pragma once
// The virtual file system: up to 16 mounted archives ("virtual disks") and two pools of ten file
// objects, one for normal files and one for shader files. A name is looked for in the mounted
// archives first, in slot order, and then loose on disk; names are lowered (ASCII) and
// otherwise compared exactly.
#include <array>
#include <memory>

#include "ZKDXInterface.h"
#include "vfs/VFSFile.h"
#include "windef.h"

class CEngineLog;

class CVirtualFileSystem final : public CVirtualFileSystemInterface {
 public:
  static constexpr UINT kMaxDisks = 16;
  static constexpr UINT kPoolSize = 10;

  CVirtualFileSystem(CEngineLog* log, ZKAllocatorInterface* allocator, HWND window);
  // Closes every open file, then unmounts every disk.
  ~CVirtualFileSystem();
  CVirtualFileSystem(const CVirtualFileSystem&) = delete;
  CVirtualFileSystem& operator=(const CVirtualFileSystem&) = delete;

  // The slot of the mounted disk, or VFS_NOT_FOUND (logged) when the name is too long, the
  // extension names no back end, the back end cannot read the archive or all 16 slots hold a
  // disk. A failed mount leaves no disk and no counted slot behind.
  UINT AddVirtualDisk(const char* name, UINT diskKind, UINT offset, UINT length,
                      const char* password) override;
  // 1 when the disk of that name was unmounted. 0, with a warning, when none matches or files
  // of the disk are still open (they are listed): their data would go with the disk.
  UINT CloseVirtualDisk(const char* name) override;
  // Slots in use from the front, including slots emptied by CloseVirtualDisk.
  UINT GetNumberOfVirtualDisks() override;
  UINT LocateNormalFile(const char* name) override;
  UINT LocateShaderFile(const char* name) override;
  // Members of data disks first, then the loose file; null when neither opens or all ten
  // normal files are open (logged with the open names).
  VFSFile* OpenNormalFile(const char* name, const char* mode) override;
  // Members of every disk first, then the loose file, from the shader pool.
  VFSFile* OpenShaderFile(const char* name, const char* mode) override;
  // Leaves disks and files as they are.
  UINT Deinitialize() override;

  // The disk in `slot`, or null for an empty slot or one past the table.
  CVirtualDiskInterface* GetDisk(UINT slot);

 private:
  using FilePool = std::array<std::unique_ptr<CVFSFile>, kPoolSize>;

  // The back end chosen by `extension`, mounted; null (logged) when it cannot be. Each back end
  // takes what it needs of the mount's arguments.
  std::unique_ptr<CVirtualDiskInterface> CreateDisk(const char* extension, const char* name,
                                                    UINT diskKind, UINT offset, UINT length,
                                                    const char* password);
  VFSFile* OpenFile(FilePool& pool, const char* poolFullMessage, bool dataDisksOnly,
                    const char* name, const char* mode);
  UINT Locate(VFSFile* file);
  // Lowers `name` into `buffer`; false (logged) when it does not fit.
  bool TakeName(char* buffer, const char* name);

  CEngineLog* m_log;
  ZKAllocatorInterface* m_allocator;
  HWND m_window;
  std::array<std::unique_ptr<CVirtualDiskInterface>, kMaxDisks> m_disks;
  UINT m_diskCount = 0;
  FilePool m_normalFiles;
  FilePool m_shaderFiles;
};

// The engine's one file system: made from the log, the allocator and the window on the first
// call, returned as it is on later calls.
CVirtualFileSystemInterface* CreateVirtualFileSystem(CEngineLog* log,
                                                     ZKAllocatorInterface* allocator, HWND window);
// The file system made by CreateVirtualFileSystem; ends the process through the fatal-error
// routine when there is none yet.
CVirtualFileSystemInterface* GetVirtualFileSystem();
