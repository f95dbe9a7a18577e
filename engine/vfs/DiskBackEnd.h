#pragma once
// The plain-disk back end of VFSFile: a loose file in the working folder, reached through the
// platform's path mapping (so "\" separators and any letter case find it), served by stdio.
#include <cstdio>

#include "windef.h"

class CDiskBackEnd {
 public:
  CDiskBackEnd() = default;
  ~CDiskBackEnd();
  CDiskBackEnd(const CDiskBackEnd&) = delete;
  CDiskBackEnd& operator=(const CDiskBackEnd&) = delete;

  // Opens `name` with the stdio `mode` and measures its length; false when it cannot be opened.
  bool Open(const char* name, const char* mode);
  bool IsOpen() const { return m_stream != nullptr; }
  // The length measured at open (files beyond 4 GB report the largest UINT).
  UINT Length() const { return m_length; }

  UINT Read(void* buffer, UINT size, UINT count);
  UINT Write(const void* buffer, UINT size, UINT count);
  // stdio's result: 0 on success, -1 on failure.
  int Seek(LONG offset, int origin);
  LONG Tell();
  // The next byte, or -1 at the end.
  int Getc();
  // The next byte without consuming it, or -1 at the end.
  int Peek();
  // stdio's close result; 0 when nothing was open.
  int Close();

 private:
  FILE* m_stream = nullptr;
  UINT m_length = 0;
};
