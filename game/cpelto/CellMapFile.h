#pragma once
// The text maps of a level (its element and collision maps, the camera's height map): one
// character a cell, letters and digits only, every other character skipped. The file's first
// line is the grid's last row.
#include <windef.h>

#include <vector>

// Fills `codes` (y × width + x) from the file read through the engine's file system. Cells the
// file does not reach read as '0'. False, logged with `szWhat` naming the map, when the file
// cannot be opened.
bool ReadCellMapFile(const char* szFile, const char* szWhat, DWORD dwWidth, DWORD dwHeight,
                     std::vector<char>& codes);
