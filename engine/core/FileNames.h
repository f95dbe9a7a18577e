#pragma once
// The file-name helpers every loader shares: the extension of a name, the file name of a path
// as the engine stores it, and the whole name after a path's folders.
#include <string>

// The text after the first "." from the second character on, cut in place to at most three
// characters ("model.lwo" gives "lwo", "a.jpeg" becomes "a.jpe" and gives "jpe"). A name with
// no such "." (".hidden", "readme") is returned whole. Writes only inside the text.
char* GetFileExtension(char* name);

// The file name of `path`, pointing into it: the path is cut in place as GetFileExtension cuts
// it ("Scenes/Level1.lws.bak" becomes "Scenes/Level1.lws" and gives "Level1.lws"), and the name
// starts after the nearest separator before its "." (or before its end when it has none).
// Separators are "\", "/", ":", the code 127 and every byte whose signed value is at most 44
// (controls, the blank, ! " # $ % & ' ( ) * + , and all bytes from 128 up), so "a b.lwo" gives
// "b.lwo". Never reads or writes outside the text; null gives null.
char* GetBaseFileName(char* path);

// The whole name after the last folder separator ("\", "/" or a drive's ":"), on a copy:
// "maps\\sky.jpeg" gives "sky.jpeg". Null gives an empty text.
std::string GetWholeFileName(const char* path);
