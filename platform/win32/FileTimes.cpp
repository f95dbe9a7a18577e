// File times and their calendar fields, and the attributes of an entry.
#include "FileTimes.h"

#include "LastError.h"

namespace {

constexpr int64_t kStepsPerSecond = 10'000'000;
constexpr int64_t kUnixEpochSteps = 116'444'736'000'000'000;  // 1970-01-01 in file-time steps
constexpr int64_t kDaysFrom1601To1970 = 134'774;

uint64_t Steps(const FILETIME& time) {
  return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

FILETIME FromSteps(uint64_t steps) {
  return FILETIME{static_cast<DWORD>(steps), static_cast<DWORD>(steps >> 32)};
}

// Days since 1970-01-01 to the proleptic Gregorian date, and back (Howard Hinnant's algorithms),
// exact for every date a file time can hold without going through time_t.
void CivilFromDays(int64_t days, int64_t& year, unsigned& month, unsigned& day) {
  days += 719468;
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const unsigned dayOfEra = static_cast<unsigned>(days - era * 146097);
  const unsigned yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const unsigned shiftedMonth = (5 * dayOfYear + 2) / 153;
  day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
  month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
  year = static_cast<int64_t>(yearOfEra) + era * 400 + (month <= 2);
}

int64_t DaysFromCivil(int64_t year, unsigned month, unsigned day) {
  year -= month <= 2;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const unsigned yearOfEra = static_cast<unsigned>(year - era * 400);
  const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + static_cast<int64_t>(dayOfEra) - 719468;
}

bool IsLeapYear(unsigned year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

}  // namespace

FILETIME FileTimeFromUnix(const timespec& time) {
  const int64_t steps =
      static_cast<int64_t>(time.tv_sec) * kStepsPerSecond + time.tv_nsec / 100 + kUnixEpochSteps;
  return FromSteps(steps < 0 ? 0 : static_cast<uint64_t>(steps));
}

DWORD FileAttributesFromStat(const struct stat& status) {
  DWORD attributes = 0;
  if (S_ISDIR(status.st_mode)) attributes |= FILE_ATTRIBUTE_DIRECTORY;
  if (!(status.st_mode & S_IWUSR)) attributes |= FILE_ATTRIBUTE_READONLY;
  return attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
}

LONG CompareFileTime(const FILETIME* lpFileTime1, const FILETIME* lpFileTime2) {
  if (!lpFileTime1 || !lpFileTime2) return 0;
  const uint64_t first = Steps(*lpFileTime1);
  const uint64_t second = Steps(*lpFileTime2);
  return first < second ? -1 : first > second ? 1 : 0;
}

BOOL FileTimeToSystemTime(const FILETIME* lpFileTime, LPSYSTEMTIME lpSystemTime) {
  if (!lpFileTime || !lpSystemTime) return FailWith(ERROR_INVALID_PARAMETER);
  const uint64_t steps = Steps(*lpFileTime);
  if (steps > 0x7FFFFFFFFFFFFFFFull) return FailWith(ERROR_INVALID_PARAMETER);
  const int64_t seconds = static_cast<int64_t>(steps / kStepsPerSecond);
  const int64_t daysSince1601 = seconds / 86400;
  const int64_t secondOfDay = seconds % 86400;
  int64_t year;
  unsigned month, day;
  CivilFromDays(daysSince1601 - kDaysFrom1601To1970, year, month, day);
  lpSystemTime->wYear = static_cast<WORD>(year);
  lpSystemTime->wMonth = static_cast<WORD>(month);
  lpSystemTime->wDayOfWeek = static_cast<WORD>((daysSince1601 + 1) % 7);  // 1601-01-01: Monday
  lpSystemTime->wDay = static_cast<WORD>(day);
  lpSystemTime->wHour = static_cast<WORD>(secondOfDay / 3600);
  lpSystemTime->wMinute = static_cast<WORD>(secondOfDay / 60 % 60);
  lpSystemTime->wSecond = static_cast<WORD>(secondOfDay % 60);
  lpSystemTime->wMilliseconds = static_cast<WORD>(steps % kStepsPerSecond / 10'000);
  return TRUE;
}

BOOL SystemTimeToFileTime(const SYSTEMTIME* lpSystemTime, LPFILETIME lpFileTime) {
  if (!lpSystemTime || !lpFileTime) return FailWith(ERROR_INVALID_PARAMETER);
  const SYSTEMTIME& t = *lpSystemTime;
  static const unsigned kDaysInMonth[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (t.wYear < 1601 || t.wYear > 30828 || t.wMonth < 1 || t.wMonth > 12 || t.wDay < 1 ||
      t.wDay > kDaysInMonth[t.wMonth - 1] + (t.wMonth == 2 && IsLeapYear(t.wYear)) ||
      t.wHour > 23 || t.wMinute > 59 || t.wSecond > 59 || t.wMilliseconds > 999)
    return FailWith(ERROR_INVALID_PARAMETER);
  const int64_t days = DaysFromCivil(t.wYear, t.wMonth, t.wDay) + kDaysFrom1601To1970;
  const int64_t seconds = days * 86400 + t.wHour * 3600 + t.wMinute * 60 + t.wSecond;
  // 30828-09-14 02:48:05.477 is the last time a file time holds.
  constexpr int64_t kLastSecond = 0x7FFFFFFFFFFFFFFF / kStepsPerSecond;
  if (seconds > kLastSecond || (seconds == kLastSecond && t.wMilliseconds > 477))
    return FailWith(ERROR_INVALID_PARAMETER);
  *lpFileTime = FromSteps(
      static_cast<uint64_t>(seconds * kStepsPerSecond + int64_t{t.wMilliseconds} * 10'000));
  return TRUE;
}
