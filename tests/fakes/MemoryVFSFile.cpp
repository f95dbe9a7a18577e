#include "MemoryVFSFile.h"

#include <cstring>

UINT CMemoryVFSFile::Read(void* buffer, UINT size, UINT count) {
  const uint64_t wanted = uint64_t{size} * count;
  if (m_position + wanted > m_bytes.size()) {
    ++m_readsPastEnd;
    return 0;
  }
  if (wanted > 0) memcpy(buffer, m_bytes.data() + m_position, wanted);
  m_position += wanted;
  return count;
}

char* CMemoryVFSFile::Gets(char* buffer, int count) {
  if (count <= 0 || m_position >= m_bytes.size()) return nullptr;
  int written = 0;
  while (written < count - 1 && m_position < m_bytes.size()) {
    const char c = static_cast<char>(m_bytes[m_position++]);
    buffer[written++] = c;
    if (c == '\n') break;
  }
  buffer[written] = '\0';
  return buffer;
}

BYTE CMemoryVFSFile::Seek(LONG offset, int origin) {
  const int64_t base = origin == 0   ? 0
                       : origin == 1 ? int64_t(m_position)
                                     : int64_t(m_bytes.size());
  const int64_t target = base + offset;
  if (target < 0 || target > int64_t(m_bytes.size())) {
    ++m_readsPastEnd;
    return 1;
  }
  m_position = size_t(target);
  return 0;
}

int CMemoryVFSFile::Getc() { return m_position < m_bytes.size() ? m_bytes[m_position++] : -1; }
