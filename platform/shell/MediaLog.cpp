#include "MediaLog.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>

void ZkMediaLog(const char* area, const char* format, ...) {
  char text[1024];
  va_list args;
  va_start(args, format);
  vsnprintf(text, sizeof text, format, args);
  va_end(args);
  // One whole line per call, even when several threads report at once.
  static std::mutex lock;
  std::lock_guard<std::mutex> guard(lock);
  std::fprintf(stderr, "zkplatform %s: %s\n", area, text);
}
