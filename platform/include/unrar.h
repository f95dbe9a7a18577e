#pragma once
// The RAR library's interface, served by libarchive: RAR 4 and RAR 5 archives without
// encryption, and ZIP archives with or without a password. Member data reaches the caller
// through the callback (RAR_TEST); names come back with '\' separators.
#include <cwchar>

#include "windef.h"

#define ERAR_SUCCESS 0
#define ERAR_END_ARCHIVE 10
#define ERAR_NO_MEMORY 11
#define ERAR_BAD_DATA 12
#define ERAR_BAD_ARCHIVE 13
#define ERAR_UNKNOWN_FORMAT 14
#define ERAR_EOPEN 15
#define ERAR_ECREATE 16
#define ERAR_ECLOSE 17
#define ERAR_EREAD 18
#define ERAR_EWRITE 19
#define ERAR_SMALL_BUF 20
#define ERAR_UNKNOWN 21
#define ERAR_MISSING_PASSWORD 22
#define ERAR_EREFERENCE 23
#define ERAR_BAD_PASSWORD 24

#define RAR_OM_LIST 0
#define RAR_OM_EXTRACT 1
#define RAR_OM_LIST_INCSPLIT 2

#define RAR_SKIP 0
#define RAR_TEST 1
#define RAR_EXTRACT 2

#define RAR_VOL_ASK 0
#define RAR_VOL_NOTIFY 1

#define RAR_DLL_VERSION 8

// Callback messages. UCM_PROCESSDATA: P1 the address of the unpacked bytes, P2 their count.
// UCM_NEEDPASSWORD: P1 a char buffer to fill with the password, P2 its size. A callback that
// returns -1 cancels the operation.
#define UCM_CHANGEVOLUME 0
#define UCM_PROCESSDATA 1
#define UCM_NEEDPASSWORD 2
#define UCM_CHANGEVOLUMEW 3
#define UCM_NEEDPASSWORDW 4

// RAROpenArchiveDataEx::Flags
#define ROADF_VOLUME 0x0001
#define ROADF_COMMENT 0x0002
#define ROADF_LOCK 0x0004
#define ROADF_SOLID 0x0008
#define ROADF_NEWNUMBERING 0x0010
#define ROADF_SIGNED 0x0020
#define ROADF_RECOVERY 0x0040
#define ROADF_ENCHEADERS 0x0080
#define ROADF_FIRSTVOLUME 0x0100

// RARHeaderData(Ex)::Flags
#define RHDF_SPLITBEFORE 0x01
#define RHDF_SPLITAFTER 0x02
#define RHDF_ENCRYPTED 0x04
#define RHDF_SOLID 0x10
#define RHDF_DIRECTORY 0x20

typedef int(CALLBACK* UNRARCALLBACK)(UINT msg, LPARAM UserData, LPARAM P1, LPARAM P2);

struct RARHeaderData {
  char ArcName[260];
  char FileName[260];
  UINT Flags;
  UINT PackSize;
  UINT UnpSize;
  UINT HostOS;
  UINT FileCRC;
  UINT FileTime;
  UINT UnpVer;
  UINT Method;
  UINT FileAttr;
  char* CmtBuf;
  UINT CmtBufSize;
  UINT CmtSize;
  UINT CmtState;
};

struct RARHeaderDataEx {
  char ArcName[1024];
  wchar_t ArcNameW[1024];
  char FileName[1024];
  wchar_t FileNameW[1024];
  UINT Flags;
  UINT PackSize;
  UINT PackSizeHigh;
  UINT UnpSize;
  UINT UnpSizeHigh;
  UINT HostOS;
  UINT FileCRC;
  UINT FileTime;
  UINT UnpVer;
  UINT Method;
  UINT FileAttr;
  char* CmtBuf;
  UINT CmtBufSize;
  UINT CmtSize;
  UINT CmtState;
  UINT DictSize;
  UINT HashType;
  char Hash[32];
  UINT RedirType;
  wchar_t* RedirName;
  UINT RedirNameSize;
  UINT DirTarget;
  UINT MtimeLow;  // modification time: 100 ns units since 1601, as a FILETIME
  UINT MtimeHigh;
  UINT CtimeLow;
  UINT CtimeHigh;
  UINT AtimeLow;
  UINT AtimeHigh;
  UINT Reserved[988];
};

struct RAROpenArchiveDataEx {
  char* ArcName;
  wchar_t* ArcNameW;
  UINT OpenMode;
  UINT OpenResult;
  char* CmtBuf;
  UINT CmtBufSize;
  UINT CmtSize;
  UINT CmtState;
  UINT Flags;
  UNRARCALLBACK Callback;
  LPARAM UserData;
  UINT Reserved[28];
};

// Opens an archive (ArcName, mapped like every platform path); null on failure with the reason
// in OpenResult: ERAR_EOPEN (cannot open), ERAR_BAD_ARCHIVE (not an archive), ERAR_NO_MEMORY.
ZKAPI HANDLE RAROpenArchiveEx(struct RAROpenArchiveDataEx* ArchiveData);
ZKAPI int RARCloseArchive(HANDLE hArcData);
// 0 when a header was read, ERAR_END_ARCHIVE at the end, ERAR_BAD_DATA for a damaged archive.
ZKAPI int RARReadHeader(HANDLE hArcData, struct RARHeaderData* HeaderData);
ZKAPI int RARReadHeaderEx(HANDLE hArcData, struct RARHeaderDataEx* HeaderData);
// RAR_SKIP or RAR_TEST the member whose header was read last. RAR_EXTRACT (writing to disk) is
// not offered and gives ERAR_ECREATE.
ZKAPI int RARProcessFile(HANDLE hArcData, int Operation, char* DestPath, char* DestName);
ZKAPI void RARSetCallback(HANDLE hArcData, UNRARCALLBACK Callback, LPARAM UserData);
ZKAPI void RARSetPassword(HANDLE hArcData, char* Password);
ZKAPI int RARGetDllVersion();
