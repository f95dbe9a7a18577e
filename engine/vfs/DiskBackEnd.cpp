#include "vfs/DiskBackEnd.h"

#include <sys/types.h>

#include "zkplatform/ZkPaths.h"

CDiskBackEnd::~CDiskBackEnd() { Close(); }

bool CDiskBackEnd::Open(const char* name, const char* mode) {
  Close();
  if (!name || !mode) return false;
  m_stream = ZkFileOpen(name, mode);
  if (!m_stream) return false;
  off_t end = -1;
  if (fseeko(m_stream, 0, SEEK_END) == 0) end = ftello(m_stream);
  rewind(m_stream);
  m_length = end < 0 ? 0 : end > off_t(UINT(-1)) ? UINT(-1) : UINT(end);
  return true;
}

UINT CDiskBackEnd::Read(void* buffer, UINT size, UINT count) {
  if (!m_stream || !buffer) return 0;
  return UINT(fread(buffer, size, count, m_stream));
}

UINT CDiskBackEnd::Write(const void* buffer, UINT size, UINT count) {
  if (!m_stream || !buffer) return 0;
  return UINT(fwrite(buffer, size, count, m_stream));
}

int CDiskBackEnd::Seek(LONG offset, int origin) {
  if (!m_stream || origin < SEEK_SET || origin > SEEK_END) return -1;
  return fseek(m_stream, offset, origin);
}

LONG CDiskBackEnd::Tell() { return m_stream ? LONG(ftell(m_stream)) : -1; }

int CDiskBackEnd::Getc() { return m_stream ? fgetc(m_stream) : -1; }

int CDiskBackEnd::Peek() {
  if (!m_stream) return -1;
  int c = fgetc(m_stream);
  if (c != EOF) ungetc(c, m_stream);
  return c;
}

int CDiskBackEnd::Close() {
  int result = m_stream ? fclose(m_stream) : 0;
  m_stream = nullptr;
  m_length = 0;
  return result;
}
