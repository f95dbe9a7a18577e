#pragma once
// The two file-name helpers every loader shares: the extension of a name, and the name of a
// file without its folders.
#include <string>

// The text after the first "." from the second character on, cut in place to at most three
// characters ("model.lwo" gives "lwo", "a.jpeg" becomes "a.jpe" and gives "jpe"). A name with
// no such "." (".hidden", "readme") is returned whole. Writes only inside the text.
char* GetFileExtension(char* name);

// The name after the last folder separator ("\", "/" or a drive's ":"), whole, on a copy:
// "maps\\sky.jpeg" gives "sky.jpeg". Null gives an empty text.
std::string GetBaseFileName(const char* path);
