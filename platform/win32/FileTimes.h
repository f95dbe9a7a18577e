#pragma once
// File times of the original platform: 100-nanosecond steps since 1 January 1601 (UTC).
#include <sys/stat.h>

#include "windows.h"

FILETIME FileTimeFromUnix(const timespec& time);
// The attributes of a file system entry, as the original platform reports them.
DWORD FileAttributesFromStat(const struct stat& status);
