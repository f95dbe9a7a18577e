#pragma once
// The framework's file test: a file loose on disk (a game path, mapped by the platform), or,
// once the core and the engine exist, a file the engine's file system can open, which includes
// the members of mounted archives. A folder is not a file.
bool FileExists(const char* szPath);
