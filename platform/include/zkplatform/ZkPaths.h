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
//
// A drive prefix ("s:", "S:\") stands for the folder that ZkSetDriveFolder gave its letter.
// A letter without a folder maps below "/dev/null/", where nothing can exist or be created, so
// that no drive silently becomes the root of the file system.
ZKAPI_CPP std::string ZkMapPath(const char* windowsPath);

// fopen through ZkMapPath; a folder is refused (errno EACCES), as on Windows.
ZKAPI FILE* ZkFileOpen(const char* windowsPath, const char* mode);

// Names the folder of a drive letter (either case). A relative folder is taken beside the
// program (the folder of the running executable); null or "" forgets the letter. Returns false
// for a character that is not a letter.
ZKAPI bool ZkSetDriveFolder(char letter, const char* folder);
// The folder of a drive letter, or "" when it has none.
ZKAPI_CPP std::string ZkGetDriveFolder(char letter);

// The folder of the running executable, without a trailing '/'.
ZKAPI_CPP std::string ZkProgramFolder();
