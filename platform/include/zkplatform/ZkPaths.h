#pragma once
// Data and code name files as on Windows: with backslashes and in any letter case. Every file
// call of the platform goes through ZkMapPath, and so should the engine's and the game's own
// C-runtime file calls.
#include <cstdio>
#include <string>

#include "zkplatform/ZkApi.h"

// Maps a Windows-style path to this file system: '\' becomes '/', and where the exact path does
// not exist each component is matched without regard to case. Components that match nothing
// are kept as given, so a file created under the result keeps the case it was given.
ZKAPI_CPP std::string ZkMapPath(const char* windowsPath);

// fopen through ZkMapPath.
ZKAPI FILE* ZkFileOpen(const char* windowsPath, const char* mode);
