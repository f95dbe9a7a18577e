#pragma once
// Fields of a line of text split at one character, as menus and scripts read them.
#include <windef.h>

#include <string>

// The field numbered dwNum (from 0) of the text's first line, split at `ch`; the empty text
// when the line has no such field. The line ends at its first line end or zero character.
std::string GetSubstring(const std::string& strText, DWORD dwNum, BYTE ch);
