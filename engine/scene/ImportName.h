#pragma once
// Names in the import records are fixed fields of 256 characters, always terminated.
#include <cstddef>
#include <cstring>

#include "core/CopyName.h"

constexpr std::size_t kImportNameLength = 256;
using ImportName = char[kImportNameLength];
