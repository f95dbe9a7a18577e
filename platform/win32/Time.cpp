// Timers and calendar time, all read from the platform clock.
#include <sys/time.h>

#include <atomic>
#include <ctime>
#include <map>
#include <mutex>

#include "windows.h"
#include "mmsystem.h"
#include "zkplatform/ZkClock.h"
#include "zktest/ZkTestKernel.h"

namespace {

constexpr uint64_t kTicksPerSecond = 1'000'000;  // the clock's own unit: no rounding anywhere

std::mutex g_periodMutex;
std::map<UINT, unsigned> g_periods;  // resolution requests still open

std::atomic<bool> g_calendarOriginSet{false};
std::atomic<int64_t> g_calendarOrigin{0};

int64_t RealCalendarMicroseconds() {
  timeval now;
  gettimeofday(&now, nullptr);
  return static_cast<int64_t>(now.tv_sec) * 1'000'000 + now.tv_usec;
}

// Calendar microseconds at which the clock read zero: taken once from the real calendar, unless a
// test has set it.
int64_t CalendarOrigin() {
  static std::once_flag once;
  std::call_once(once, [] {
    if (!g_calendarOriginSet.load())
      g_calendarOrigin.store(RealCalendarMicroseconds() -
                             static_cast<int64_t>(ZkClockMicroseconds()));
  });
  return g_calendarOrigin.load();
}

void CalendarTime(LPSYSTEMTIME out, bool local) {
  if (!out) return;
  const int64_t now = CalendarOrigin() + static_cast<int64_t>(ZkClockMicroseconds());
  int64_t seconds = now / 1'000'000;
  int64_t micros = now % 1'000'000;
  if (micros < 0) {
    micros += 1'000'000;
    --seconds;
  }
  const time_t t = static_cast<time_t>(seconds);
  tm fields{};
  if (local)
    localtime_r(&t, &fields);
  else
    gmtime_r(&t, &fields);
  out->wYear = static_cast<WORD>(fields.tm_year + 1900);
  out->wMonth = static_cast<WORD>(fields.tm_mon + 1);
  out->wDayOfWeek = static_cast<WORD>(fields.tm_wday);
  out->wDay = static_cast<WORD>(fields.tm_mday);
  out->wHour = static_cast<WORD>(fields.tm_hour);
  out->wMinute = static_cast<WORD>(fields.tm_min);
  out->wSecond = static_cast<WORD>(fields.tm_sec);
  out->wMilliseconds = static_cast<WORD>(micros / 1000);
}

}  // namespace

uint64_t ZkReadTimeStampCounter() { return ZkClockMicroseconds(); }

uint64_t ZkTimeStampFrequency() { return kTicksPerSecond; }

DWORD timeGetTime() { return static_cast<DWORD>(ZkClockMicroseconds() / 1000); }

DWORD GetTickCount() { return timeGetTime(); }

MMRESULT timeBeginPeriod(UINT uPeriod) {
  if (uPeriod == 0) return TIMERR_NOCANDO;
  std::lock_guard<std::mutex> lock(g_periodMutex);
  ++g_periods[uPeriod];
  return TIMERR_NOERROR;
}

MMRESULT timeEndPeriod(UINT uPeriod) {
  std::lock_guard<std::mutex> lock(g_periodMutex);
  auto open = g_periods.find(uPeriod);
  if (open == g_periods.end()) return TIMERR_NOCANDO;
  if (--open->second == 0) g_periods.erase(open);
  return TIMERR_NOERROR;
}

BOOL QueryPerformanceFrequency(LARGE_INTEGER* lpFrequency) {
  if (!lpFrequency) return FALSE;
  lpFrequency->QuadPart = static_cast<LONGLONG>(kTicksPerSecond);
  return TRUE;
}

BOOL QueryPerformanceCounter(LARGE_INTEGER* lpPerformanceCount) {
  if (!lpPerformanceCount) return FALSE;
  lpPerformanceCount->QuadPart = static_cast<LONGLONG>(ZkClockMicroseconds());
  return TRUE;
}

void GetLocalTime(LPSYSTEMTIME lpSystemTime) { CalendarTime(lpSystemTime, true); }

void GetSystemTime(LPSYSTEMTIME lpSystemTime) { CalendarTime(lpSystemTime, false); }

void ZkTestSetCalendarOrigin(int64_t unixMicroseconds) {
  CalendarOrigin();  // settle the one-time default first, so it cannot overwrite the test's value
  g_calendarOrigin.store(unixMicroseconds);
  g_calendarOriginSet.store(true);
}
