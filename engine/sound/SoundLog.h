#pragma once
// The sound server's own log, "Tonaris.Log" in the engine's log folder (or "TonarisDebug.txt"
// in the current folder when there is none). Every line starts with its source label in a
// column of 32 characters; messages carry their own line ends. The server, its sounds and the
// refill thread all write here, so one call writes one whole line under a lock and flushes it.
#include <atomic>
#include <cstddef>
#include <cstdio>
#include <mutex>

#include "windef.h"

class CSoundLog {
 public:
  // A formatted message is cut at this many characters.
  static constexpr size_t kMaxMessage = 1024;
  // The source label is padded with blanks or cut to this width.
  static constexpr size_t kSourceWidth = 32;

  // Creates the file and writes its banner, only when `useLogs` is 1. A log already open is
  // closed first. When the file cannot be made the log stays disabled.
  void Open(UINT useLogs);
  // printf-style; nothing while the log is disabled.
  void Write(const char* source, const char* format, ...) __attribute__((format(printf, 3, 4)));
  // Writes the closing line and closes the file; the log is disabled afterwards.
  void Close();
  bool IsEnabled() const { return m_enabled.load(std::memory_order_acquire); }

 private:
  void WriteBannerLocked();
  void CloseLocked();

  std::mutex m_lock;
  FILE* m_file = nullptr;
  std::atomic<bool> m_enabled{false};
};

// The one sound log of the process, made on first use.
CSoundLog* GetSoundLog();
