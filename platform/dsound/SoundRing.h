#pragma once
// The sound data of a secondary buffer and its duplicates. The output reads it while programs
// write it, so every access goes through its lock: programs write through Lock's staging copies,
// which Unlock brings in.
#include <cstdint>
#include <mutex>
#include <vector>

class CSoundRing {
 public:
  CSoundRing(size_t size, uint8_t silence) : m_bytes(size, silence) {}

  size_t Size() const { return m_bytes.size(); }
  void CopyOut(size_t offset, uint8_t* out, size_t length);
  void CopyIn(size_t offset, const uint8_t* in, size_t length);
  // For reading many frames at once: the bytes, valid while the returned lock is held.
  std::unique_lock<std::mutex> Hold() { return std::unique_lock(m_mutex); }
  const uint8_t* HeldBytes() const { return m_bytes.data(); }

 private:
  std::mutex m_mutex;
  std::vector<uint8_t> m_bytes;
};
