// The RAR library's functions over CRarArchive. Handles are checked against the open archives,
// so a closed or foreign handle gets an error instead of a crash.
#include "unrar.h"

#include <algorithm>
#include <cwchar>
#include <iterator>
#include <memory>

#include "../shell/HandleRegistry.h"
#include "../shell/MediaLog.h"
#include "RarArchive.h"

namespace {

CHandleRegistry<CRarArchive> g_open;

CRarArchive* Find(HANDLE handle) { return g_open.Find(handle); }

// Copies `text` into a fixed field, always terminated; a longer text is cut and reported.
void CopyField(char* field, size_t size, const std::string& text, const char* archiveName) {
  if (text.size() >= size)
    ZkMediaLog("unrar", "'%s': name '%s' is longer than %zu characters and is cut", archiveName,
               text.c_str(), size - 1);
  const size_t count = std::min(text.size(), size - 1);
  text.copy(field, count);
  field[count] = '\0';
}

// Decodes one UTF-8 sequence at `text[at]`, advancing `at`; a byte that starts no valid
// sequence passes through as it is.
uint32_t DecodeUtf8(const std::string& text, size_t& at) {
  const unsigned char lead = static_cast<unsigned char>(text[at]);
  size_t length = 0;
  uint32_t code = 0;
  if (lead < 0x80) {
    length = 1;
    code = lead;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2;
    code = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3;
    code = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4;
    code = lead & 0x07;
  }
  bool valid = length != 0 && at + length <= text.size();
  for (size_t k = 1; valid && k < length; ++k) {
    const unsigned char next = static_cast<unsigned char>(text[at + k]);
    valid = (next & 0xC0) == 0x80;
    code = code << 6 | (next & 0x3F);
  }
  at += valid ? length : 1;
  return valid ? code : lead;
}

// UTF-8 into a fixed wide field, always terminated.
void CopyWideField(wchar_t* field, size_t size, const std::string& text) {
  size_t out = 0;
  for (size_t in = 0; in < text.size() && out + 1 < size;)
    field[out++] = static_cast<wchar_t>(DecodeUtf8(text, in));
  field[out] = L'\0';
}

}  // namespace

HANDLE RAROpenArchiveEx(RAROpenArchiveDataEx* data) {
  if (!data) return nullptr;
  int result = ERAR_EOPEN;
  std::unique_ptr<CRarArchive> archive = CRarArchive::Open(data->ArcName, data->OpenMode, result);
  data->OpenResult = static_cast<UINT>(result);
  data->Flags = 0;
  data->CmtSize = 0;
  data->CmtState = 0;  // archive comments are not read
  if (!archive) return nullptr;
  if (data->Callback) archive->SetCallback(data->Callback, data->UserData);
  g_open.Add(archive.get());
  return archive.release();
}

int RARCloseArchive(HANDLE handle) {
  CRarArchive* archive = Find(handle);
  if (!archive || !g_open.Remove(archive)) return ERAR_ECLOSE;
  delete archive;
  return ERAR_SUCCESS;
}

int RARReadHeader(HANDLE handle, RARHeaderData* header) {
  CRarArchive* archive = Find(handle);
  if (!archive || !header) return ERAR_UNKNOWN;
  RarMemberInfo info;
  const int result = archive->ReadHeader(info);
  if (result != ERAR_SUCCESS) return result;
  CopyField(header->ArcName, sizeof header->ArcName, archive->Name(), archive->Name().c_str());
  CopyField(header->FileName, sizeof header->FileName, info.name, archive->Name().c_str());
  header->Flags = info.flags;
  header->PackSize = static_cast<UINT>(info.packedSize);
  header->UnpSize = static_cast<UINT>(info.unpackedSize);
  header->HostOS = 0;
  header->FileCRC = info.crc;
  header->FileTime = info.dosTime;
  header->UnpVer = 0;
  header->Method = 0;
  header->FileAttr = info.attributes;
  header->CmtSize = 0;
  header->CmtState = 0;
  return ERAR_SUCCESS;
}

int RARReadHeaderEx(HANDLE handle, RARHeaderDataEx* header) {
  CRarArchive* archive = Find(handle);
  if (!archive || !header) return ERAR_UNKNOWN;
  RarMemberInfo info;
  const int result = archive->ReadHeader(info);
  if (result != ERAR_SUCCESS) return result;
  char* const comment = header->CmtBuf;
  const UINT commentSize = header->CmtBufSize;
  *header = RARHeaderDataEx{};
  header->CmtBuf = comment;
  header->CmtBufSize = commentSize;
  CopyField(header->ArcName, sizeof header->ArcName, archive->Name(), archive->Name().c_str());
  CopyWideField(header->ArcNameW, std::size(header->ArcNameW), archive->Name());
  CopyField(header->FileName, sizeof header->FileName, info.name, archive->Name().c_str());
  CopyWideField(header->FileNameW, std::size(header->FileNameW), info.name);
  header->Flags = info.flags;
  header->PackSize = static_cast<UINT>(info.packedSize);
  header->PackSizeHigh = static_cast<UINT>(info.packedSize >> 32);
  header->UnpSize = static_cast<UINT>(info.unpackedSize);
  header->UnpSizeHigh = static_cast<UINT>(info.unpackedSize >> 32);
  header->FileCRC = info.crc;
  header->FileTime = info.dosTime;
  header->FileAttr = info.attributes;
  header->MtimeLow = static_cast<UINT>(info.fileTime);
  header->MtimeHigh = static_cast<UINT>(info.fileTime >> 32);
  return ERAR_SUCCESS;
}

int RARProcessFile(HANDLE handle, int operation, char*, char*) {
  CRarArchive* archive = Find(handle);
  return archive ? archive->ProcessFile(operation) : ERAR_UNKNOWN;
}

void RARSetCallback(HANDLE handle, UNRARCALLBACK callback, LPARAM userData) {
  if (CRarArchive* archive = Find(handle)) archive->SetCallback(callback, userData);
}

void RARSetPassword(HANDLE handle, char* password) {
  if (CRarArchive* archive = Find(handle)) archive->SetPassword(password);
}

int RARGetDllVersion() { return RAR_DLL_VERSION; }
