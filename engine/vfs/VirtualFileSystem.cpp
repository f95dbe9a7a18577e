#include "vfs/VirtualFileSystem.h"

#include <cstring>

#include "vfs/AceDisk.h"
#include "core/EngineLog.h"
#include "core/FatalError.h"
#include "vfs/RarDisk.h"
#include "vfs/VFSNames.h"
#include "vfs/ZlibDisk.h"

namespace {

const char kSource[] = "DiskInterface";

CVirtualFileSystem* g_fileSystem = nullptr;

// The extension as the engine's file-extension routine finds it: the three characters behind
// the first "." at or after the second character, the name cut behind them. A name without
// such a "." is its own extension.
const char* CutExtension(char* name) {
  char* dot = name[0] ? strchr(name + 1, '.') : nullptr;
  if (!dot) return name;
  if (strlen(dot + 1) > 3) dot[4] = 0;
  return dot + 1;
}

}  // namespace

CVirtualFileSystem::CVirtualFileSystem(CEngineLog* log, ZKAllocatorInterface* allocator,
                                       HWND window)
    : m_log(log), m_allocator(allocator), m_window(window) {
  for (auto& file : m_normalFiles) file = std::make_unique<CVFSFile>(log);
  for (auto& file : m_shaderFiles) file = std::make_unique<CVFSFile>(log);
}

CVirtualFileSystem::~CVirtualFileSystem() {
  // Files hand their data back to their disks, so they go first.
  for (auto& file : m_normalFiles) file->Close();
  for (auto& file : m_shaderFiles) file->Close();
  for (auto& disk : m_disks) disk.reset();
}

bool CVirtualFileSystem::TakeName(char* buffer, const char* name) {
  if (CopyLoweredName(buffer, kVFSNameSize, name)) return true;
  m_log->Log(kSource, __LINE__, CEngineLog::kLevelError, "ERROR! - Name Too Long: %.255s...\n",
             name ? name : "");
  return false;
}

std::unique_ptr<CVirtualDiskInterface> CVirtualFileSystem::CreateDisk(const char* extension,
                                                                      const char* name,
                                                                      UINT diskKind, UINT offset,
                                                                      UINT length,
                                                                      const char* password) {
  // Only the ACE back end reads an archive from within a larger file; the others take the
  // whole file.
  if (strcmp(extension, "zkz") == 0) {
    auto disk = std::make_unique<CZlibDisk>(m_log, m_allocator, name, diskKind);
    if (disk->Mount()) return disk;
  } else if (strcmp(extension, "zkr") == 0) {
    auto disk = std::make_unique<CRarDisk>(m_log, name, diskKind, password);
    if (disk->Mount()) return disk;
  } else if (strcmp(extension, "zka") == 0) {
    UINT mounted = 0;
    auto disk = std::make_unique<CAceDisk>(m_log, name, diskKind, offset, length, &mounted);
    if (mounted) return disk;
  } else {
    m_log->Log(kSource, __LINE__, CEngineLog::kLevelError, "ERROR! - Unknown Archive Type: %s\n",
               extension);
  }
  return nullptr;
}

UINT CVirtualFileSystem::AddVirtualDisk(const char* name, UINT diskKind, UINT offset, UINT length,
                                        const char* password) {
  char lowered[kVFSNameSize];
  if (!TakeName(lowered, name)) return VFS_NOT_FOUND;
  m_log->Log(kSource, __LINE__, CEngineLog::kLevelInfo, "Adding VD: %s\n", lowered);

  UINT slot = 0;
  while (slot < m_diskCount && m_disks[slot]) ++slot;
  if (slot == kMaxDisks) {
    m_log->Log(kSource, __LINE__, CEngineLog::kLevelError, "ERROR! - Too Many Virtual Disks: %s\n",
               lowered);
    m_log->Log(kSource, __LINE__, CEngineLog::kLevelError,
               "ERROR! - Can't Open Data Archive: %s At %i\n", lowered, int(offset));
    return VFS_NOT_FOUND;
  }

  const char* extension = CutExtension(lowered);
  std::unique_ptr<CVirtualDiskInterface> disk =
      CreateDisk(extension, lowered, diskKind, offset, length, password);
  if (!disk) {
    m_log->Log(kSource, __LINE__, CEngineLog::kLevelError,
               "ERROR! - Can't Open Data Archive: %s At %i\n", lowered, int(offset));
    return VFS_NOT_FOUND;
  }
  m_disks[slot] = std::move(disk);
  if (slot == m_diskCount) ++m_diskCount;
  m_log->Log(kSource, __LINE__, CEngineLog::kLevelInfo, "- Archive File: %s At %i Added\n", lowered,
             int(offset));
  return slot;
}

UINT CVirtualFileSystem::CloseVirtualDisk(const char* name) {
  char lowered[kVFSNameSize];
  if (!TakeName(lowered, name)) return 0;
  for (UINT slot = 0; slot < m_diskCount; ++slot) {
    CVirtualDiskInterface* disk = m_disks[slot].get();
    if (!disk || strcmp(disk->GetDiskName(), lowered) != 0) continue;
    UINT type = disk->GetArchiveType();
    if (type < VFS_ARCHIVE_ZLIB || type > VFS_ARCHIVE_RAR) continue;

    bool inUse = false;
    for (FilePool* pool : {&m_normalFiles, &m_shaderFiles})
      for (auto& file : *pool)
        if (file->IsOpen() && file->GetDisk() == disk) {
          if (!inUse)
            m_log->Log(kSource, __LINE__, CEngineLog::kLevelError,
                       "WARNING!!! - Can't Close Virtual Disk: %s\n", lowered);
          m_log->Log(kSource, __LINE__, CEngineLog::kLevelError, "  - %s\n", file->GetFileName());
          inUse = true;
        }
    if (inUse) return 0;
    m_disks[slot].reset();
    return 1;
  }
  m_log->Log(kSource, __LINE__, CEngineLog::kLevelError,
             "WARNING!!! - Can't Close Virtual Disk: %s\n", lowered);
  return 0;
}

UINT CVirtualFileSystem::GetNumberOfVirtualDisks() { return m_diskCount; }

CVirtualDiskInterface* CVirtualFileSystem::GetDisk(UINT slot) {
  return slot < kMaxDisks ? m_disks[slot].get() : nullptr;
}

VFSFile* CVirtualFileSystem::OpenFile(FilePool& pool, const char* poolFullMessage,
                                      bool dataDisksOnly, const char* name, const char* mode) {
  char lowered[kVFSNameSize];
  if (!TakeName(lowered, name)) return nullptr;

  CVFSFile* file = nullptr;
  for (auto& candidate : pool)
    if (!candidate->IsOpen()) {
      file = candidate.get();
      break;
    }
  if (!file) {
    m_log->Log(kSource, __LINE__, CEngineLog::kLevelError, "%s\n", poolFullMessage);
    for (auto& open : pool)
      m_log->Log(kSource, __LINE__, CEngineLog::kLevelError, "  - %s\n", open->GetFileName());
    return nullptr;
  }

  for (UINT slot = 0; slot < m_diskCount; ++slot) {
    CVirtualDiskInterface* disk = m_disks[slot].get();
    if (!disk || (dataDisksOnly && disk->GetDiskKind() != VFS_DISK_DATA)) continue;
    int index = disk->FindFile(lowered);
    if (index != -1 && file->Open(disk, UINT(index), VFS_SOURCE_ARCHIVE, lowered, mode))
      return file;
  }
  if (file->Open(nullptr, 0, VFS_SOURCE_LOOSE_FILE, lowered, mode)) return file;
  return nullptr;
}

VFSFile* CVirtualFileSystem::OpenNormalFile(const char* name, const char* mode) {
  return OpenFile(m_normalFiles, "ERROR! - All VFS Are Opened:", true, name, mode);
}

VFSFile* CVirtualFileSystem::OpenShaderFile(const char* name, const char* mode) {
  return OpenFile(m_shaderFiles, "ERROR! - All Shader VFS Are Opened:", false, name, mode);
}

UINT CVirtualFileSystem::Locate(VFSFile* file) {
  if (!file) return VFS_NOT_FOUND;
  UINT source = UINT(file->GetFileSource());
  file->Close();
  return source;
}

UINT CVirtualFileSystem::LocateNormalFile(const char* name) {
  return Locate(OpenNormalFile(name, "rb"));
}

UINT CVirtualFileSystem::LocateShaderFile(const char* name) {
  return Locate(OpenShaderFile(name, "rb"));
}

UINT CVirtualFileSystem::Deinitialize() { return 1; }

CVirtualFileSystemInterface* CreateVirtualFileSystem(CEngineLog* log,
                                                     ZKAllocatorInterface* allocator, HWND window) {
  // Made once and kept for the life of the process: readers may hold its files to the end.
  if (!g_fileSystem)
    g_fileSystem = NewOrFatal<CVirtualFileSystem>("Error While Initializing VFS", "Can't Intialize",
                                                  log, allocator, window);
  return g_fileSystem;
}

CVirtualFileSystemInterface* GetVirtualFileSystem() {
  if (!g_fileSystem)
    FatalErrorWithTitle("Error While Getting VFS Interface", "VFS Hasn't Been Initialized");
  return g_fileSystem;
}
