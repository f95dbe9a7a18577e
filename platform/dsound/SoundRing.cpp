#include "SoundRing.h"

#include <cstring>

void CSoundRing::CopyOut(size_t offset, uint8_t* out, size_t length) {
  std::lock_guard lock(m_mutex);
  if (length == 0 || offset > m_bytes.size() || length > m_bytes.size() - offset) return;
  std::memcpy(out, m_bytes.data() + offset, length);
}

void CSoundRing::CopyIn(size_t offset, const uint8_t* in, size_t length) {
  std::lock_guard lock(m_mutex);
  if (length == 0 || offset > m_bytes.size() || length > m_bytes.size() - offset) return;
  std::memcpy(m_bytes.data() + offset, in, length);
}
