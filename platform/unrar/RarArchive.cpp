#include "RarArchive.h"

#include <archive.h>
#include <archive_entry.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <ctime>

#include "../shell/MediaLog.h"
#include "zkplatform/ZkPaths.h"

namespace {

constexpr size_t kBlockSize = 64 * 1024;
// The RAR library's own limit on a password's length, terminator included.
constexpr size_t kPasswordBufferSize = 128;
constexpr UINT kAttributeReadOnly = 0x01;
constexpr UINT kAttributeDirectory = 0x10;
constexpr UINT kAttributeArchive = 0x20;

UINT DosTime(time_t when) {
  tm local{};
  if (!localtime_r(&when, &local) || local.tm_year < 80) return 0;
  return static_cast<UINT>((local.tm_year - 80) << 25 | (local.tm_mon + 1) << 21 |
                           local.tm_mday << 16 | local.tm_hour << 11 | local.tm_min << 5 |
                           local.tm_sec / 2);
}

}  // namespace

CRarArchive::CRarArchive(std::string name, UINT mode, const std::string& path)
    : m_name(std::move(name)), m_mode(mode), m_index(path) {}

CRarArchive::~CRarArchive() {
  if (m_reader) archive_read_free(m_reader);
}

std::unique_ptr<CRarArchive> CRarArchive::Open(const char* name, UINT mode, int& result) {
  result = ERAR_EOPEN;
  if (!name || !*name) return nullptr;
  if (mode > RAR_OM_LIST_INCSPLIT) {
    ZkMediaLog("unrar", "'%s': unknown open mode %u", name, mode);
    result = ERAR_UNKNOWN;
    return nullptr;
  }
  const std::string path = ZkMapPath(name);
  struct stat st;
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || access(path.c_str(), R_OK) != 0)
    return nullptr;

  std::unique_ptr<CRarArchive> self(new CRarArchive(name, mode, path));
  self->m_reader = archive_read_new();
  if (!self->m_reader) {
    result = ERAR_NO_MEMORY;
    return nullptr;
  }
  archive_read_support_format_rar(self->m_reader);
  archive_read_support_format_rar5(self->m_reader);
  archive_read_support_format_zip(self->m_reader);
  archive_read_set_passphrase_callback(self->m_reader, self.get(), &PassphraseCallback);
  if (archive_read_open_filename(self->m_reader, path.c_str(), kBlockSize) != ARCHIVE_OK) {
    ZkMediaLog("unrar", "'%s' is not a RAR or ZIP archive: %s", name,
               archive_error_string(self->m_reader));
    result = ERAR_BAD_ARCHIVE;
    return nullptr;
  }

  // Reading the first header now tells an archive from any other file at open, as the RAR
  // library does; the header itself is handed out by the first ReadHeader.
  self->m_pendingHeader = archive_read_next_header(self->m_reader, &self->m_entry);
  self->m_havePending = true;
  if (self->m_pendingHeader < ARCHIVE_WARN) {
    if (archive_format(self->m_reader) == 0) {
      ZkMediaLog("unrar", "'%s' is not a RAR or ZIP archive: %s", name,
                 archive_error_string(self->m_reader));
      result = ERAR_BAD_ARCHIVE;
      return nullptr;
    }
    if (self->IsRar() && archive_read_has_encrypted_entries(self->m_reader) > 0) {
      ZkMediaLog("unrar", "'%s': encrypted RAR archives cannot be read", name);
      result = ERAR_UNKNOWN_FORMAT;
      return nullptr;
    }
  }
  result = ERAR_SUCCESS;
  return self;
}

bool CRarArchive::IsRar() const {
  const int format = archive_format(m_reader) & ARCHIVE_FORMAT_BASE_MASK;
  return format == ARCHIVE_FORMAT_RAR || format == ARCHIVE_FORMAT_RAR_V5;
}

void CRarArchive::SetCallback(UNRARCALLBACK callback, LPARAM userData) {
  m_callback = callback;
  m_userData = userData;
}

void CRarArchive::SetPassword(const char* password) {
  m_password = password ? password : "";
  m_havePassword = !m_password.empty();
  // libarchive keeps the passwords it was given; a later one joins them as another candidate.
  if (m_havePassword && m_passwordGiven) archive_read_add_passphrase(m_reader, m_password.c_str());
}

int CRarArchive::ReadHeader(RarMemberInfo& info) {
  if (m_failed) return ERAR_BAD_DATA;
  int read;
  if (m_havePending) {
    read = m_pendingHeader;
    m_havePending = false;
  } else {
    // libarchive skips the data of a member that was not processed.
    read = archive_read_next_header(m_reader, &m_entry);
  }
  m_haveMember = false;
  m_indexEntry = nullptr;
  if (read == ARCHIVE_EOF) return ERAR_END_ARCHIVE;
  if (read < ARCHIVE_WARN) {
    if (read == ARCHIVE_FATAL) m_failed = true;
    ZkMediaLog("unrar", "'%s': damaged archive: %s", m_name.c_str(),
               archive_error_string(m_reader));
    return ERAR_BAD_DATA;
  }

  const char* name = archive_entry_pathname_utf8(m_entry);
  if (!name) name = archive_entry_pathname(m_entry);
  info = RarMemberInfo();
  info.name = name ? name : "";
  std::replace(info.name.begin(), info.name.end(), '/', '\\');
  while (!info.name.empty() && info.name.back() == '\\') info.name.pop_back();
  const bool directory = archive_entry_filetype(m_entry) == AE_IFDIR;
  info.flags =
      (directory ? RHDF_DIRECTORY : 0) | (archive_entry_is_encrypted(m_entry) ? RHDF_ENCRYPTED : 0);
  if (archive_entry_size_is_set(m_entry) && archive_entry_size(m_entry) > 0)
    info.unpackedSize = static_cast<uint64_t>(archive_entry_size(m_entry));
  m_indexEntry = m_index.Find(m_memberNumber++);
  if (m_indexEntry && m_indexEntry->unpackedSize != info.unpackedSize) m_indexEntry = nullptr;
  if (m_indexEntry) {
    info.packedSize = m_indexEntry->packedSize;
    info.crc = m_indexEntry->crc;
  }
  if (archive_entry_mtime_is_set(m_entry)) {
    const time_t mtime = archive_entry_mtime(m_entry);
    info.dosTime = DosTime(mtime);
    // FILETIME counts 100 ns steps from 1601; Unix time seconds from 1970.
    constexpr int64_t kUnixEpochIn100ns = 116444736000000000;
    const int64_t stamp =
        int64_t{mtime} * 10000000 + archive_entry_mtime_nsec(m_entry) / 100 + kUnixEpochIn100ns;
    info.fileTime = stamp > 0 ? static_cast<uint64_t>(stamp) : 0;
  }
  info.attributes = directory ? kAttributeDirectory : kAttributeArchive;
  if (!(archive_entry_perm(m_entry) & 0222)) info.attributes |= kAttributeReadOnly;

  m_haveMember = true;
  m_passwordMissing = m_passwordRejected = false;
  return ERAR_SUCCESS;
}

int CRarArchive::ProcessFile(int operation) {
  if (!m_haveMember) {
    ZkMediaLog("unrar", "'%s': a member is processed without its header read first",
               m_name.c_str());
    return ERAR_UNKNOWN;
  }
  m_haveMember = false;
  // Listing never unpacks, whatever the operation, as in the RAR library.
  if (operation == RAR_SKIP || m_mode != RAR_OM_EXTRACT) {
    const int skipped = archive_read_data_skip(m_reader);
    return skipped < ARCHIVE_WARN ? DataError(skipped) : ERAR_SUCCESS;
  }
  if (operation == RAR_TEST) return Test();
  if (operation == RAR_EXTRACT) {
    ZkMediaLog("unrar", "'%s': members are only unpacked to memory (RAR_TEST), not to disk",
               m_name.c_str());
    return ERAR_ECREATE;
  }
  ZkMediaLog("unrar", "'%s': unknown operation %d", m_name.c_str(), operation);
  return ERAR_UNKNOWN;
}

int CRarArchive::Test() {
  // A folder has no data to test.
  if (archive_entry_filetype(m_entry) == AE_IFDIR) {
    const int skipped = archive_read_data_skip(m_reader);
    return skipped < ARCHIVE_WARN ? DataError(skipped) : ERAR_SUCCESS;
  }
  if (IsRar() && archive_entry_is_encrypted(m_entry)) {
    // libarchive cannot decrypt RAR; refusing beats handing out encrypted bytes as data.
    ZkMediaLog("unrar", "'%s': member '%s' is encrypted; encrypted RAR archives cannot be read",
               m_name.c_str(), archive_entry_pathname(m_entry));
    return ERAR_UNKNOWN_FORMAT;
  }
  std::unique_ptr<char[]> block(new char[kBlockSize]);
  uLong crc = crc32(0, nullptr, 0);
  for (;;) {
    const la_ssize_t count = archive_read_data(m_reader, block.get(), kBlockSize);
    if (count < 0) return DataError(static_cast<int>(count));
    if (count == 0) {
      // libarchive does not check every format's checksums (stored RAR 4 members, for one).
      if (m_indexEntry && m_indexEntry->hasCrc && crc != m_indexEntry->crc) {
        ZkMediaLog("unrar", "'%s': member '%s' fails its CRC check", m_name.c_str(),
                   archive_entry_pathname(m_entry));
        return ERAR_BAD_DATA;
      }
      return ERAR_SUCCESS;
    }
    crc = crc32(crc, reinterpret_cast<const Bytef*>(block.get()), static_cast<uInt>(count));
    if (m_callback && m_callback(UCM_PROCESSDATA, m_userData, reinterpret_cast<LPARAM>(block.get()),
                                 static_cast<LPARAM>(count)) == -1) {
      ZkMediaLog("unrar", "'%s': unpacking cancelled by the caller", m_name.c_str());
      return ERAR_UNKNOWN;
    }
  }
}

int CRarArchive::DataError(int result) {
  if (result == ARCHIVE_FATAL) m_failed = true;
  const char* member = archive_entry_pathname(m_entry);
  if (m_passwordMissing) {
    ZkMediaLog("unrar", "'%s': member '%s' needs a password and none was given", m_name.c_str(),
               member);
    return ERAR_MISSING_PASSWORD;
  }
  if (m_passwordRejected) {
    ZkMediaLog("unrar", "'%s': wrong password for member '%s'", m_name.c_str(), member);
    return ERAR_BAD_PASSWORD;
  }
  ZkMediaLog("unrar", "'%s': damaged member '%s': %s", m_name.c_str(), member,
             archive_error_string(m_reader));
  return ERAR_BAD_DATA;
}

const char* CRarArchive::PassphraseCallback(archive*, void* self) {
  return static_cast<CRarArchive*>(self)->NextPassphrase();
}

// libarchive asks again as long as it gets an answer, so the password is handed over once; a
// second request means it did not fit.
const char* CRarArchive::NextPassphrase() {
  if (m_passwordGiven) {
    m_passwordRejected = true;
    return nullptr;
  }
  if (!m_havePassword && m_callback) {
    char buffer[kPasswordBufferSize] = {};
    if (m_callback(UCM_NEEDPASSWORD, m_userData, reinterpret_cast<LPARAM>(buffer),
                   static_cast<LPARAM>(sizeof buffer)) != -1) {
      buffer[sizeof buffer - 1] = '\0';
      m_password = buffer;
      m_havePassword = !m_password.empty();
    }
  }
  if (!m_havePassword) {
    m_passwordMissing = true;
    return nullptr;
  }
  m_passwordGiven = true;
  return m_password.c_str();
}
