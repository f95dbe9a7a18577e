#pragma once
// Whole files read through the engine's file system, so they may come from a mounted archive.
#include <string>

// The file's bytes; false when the engine is not there or no data disk holds the file.
bool ReadVfsFileBytes(const char* szPath, std::string& bytes);
