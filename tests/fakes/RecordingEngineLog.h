#pragma once
// An engine log that keeps every message in memory instead of writing files, for tests of
// the classes that report through the log. Like the real log it takes a lock for each line, as
// threads (input polling, sound callbacks) log beside the main thread.
#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "core/EngineLog.h"

class CRecordingEngineLog : public CEngineLog {
 public:
  struct Entry {
    std::string source;
    int level;
    std::string text;
    int line = 0;
  };

  void Log(const char* file, int line, int level, const char* format, ...) override {
    char text[kMaxMessage];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    std::lock_guard lock(m_mutex);
    entries.push_back({file ? file : "", level, text, line});
  }

  // The texts logged at `level`, joined in order.
  std::string TextAt(int level) const {
    std::lock_guard lock(m_mutex);
    std::string joined;
    for (const Entry& entry : entries)
      if (entry.level == level) joined += entry.text;
    return joined;
  }

  std::vector<Entry> entries;

 private:
  mutable std::mutex m_mutex;
};
