#pragma once
// The game's XML files: loading a document from disk before the engine exists, or through the
// engine's file system afterwards, and splicing the files that `Include` elements name into it.
#include <tinyxml.h>

#include <string>

// Before the engine exists the file is read from disk, and a broken file ends the program with a
// message box; afterwards it is read through the engine's file system, where a missing file
// gives an empty document and a broken one comes back as TinyXML left it, unreported. The
// document's value is the path it was loaded from.
TiXmlDocument LoadXmlDocument(const char* szPath);

// Parses the text up to its first zero byte. TinyXML steps over a whole UTF-8 sequence at its
// lead byte, so a text that ends inside one would be read past its end: the text is parsed from
// a copy with zeros enough after it.
void ParseXmlText(TiXmlDocument& document, std::string text);

// Replaces every `Include File="..."` element in the node's subtree by the top-level nodes of
// that file, appended after the parent's last child; an include of a missing file, or of a file
// that is already being expanded on the way to it, is logged and removed.
void PreprocessXml(TiXmlNode* pNode);
// The same for a whole document; a document without any element is only logged.
void PreprocessDocument(TiXmlDocument& document);
