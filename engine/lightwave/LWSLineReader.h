#pragma once
// A LightWave scene file read line by line, as its readers take it: lines of at most 127
// characters with their line end (a longer line arrives in pieces), keys matched by prefix, an
// empty line ending each block. The end of the file inside a block is fatal, so a cut-off file
// never leaves a block reader waiting for its empty line. The file is closed when the reader
// goes, whatever way the load ends.
#include <functional>

#include "windef.h"

class VFSFile;

class LWSLineReader {
 public:
  static constexpr int kLineSize = 128;

  // Takes `file` (open, closed by the destructor); `path` names the file in a fatal stop.
  LWSLineReader(VFSFile* file, const char* path);
  ~LWSLineReader();
  LWSLineReader(const LWSLineReader&) = delete;
  LWSLineReader& operator=(const LWSLineReader&) = delete;

  // The current line, always terminated.
  char* Line() { return m_line; }
  const char* Line() const { return m_line; }
  // Reads the next line; the end of the file is fatal ("Error While Loading LWS6").
  void ReadLine();
  // False once every byte of the file has been read.
  bool HasMore();
  // Whether the current line begins with `key`.
  bool Begins(const char* key) const;
  // A line whose only character is its line end: its second character is the terminator.
  bool IsEmptyLine() const { return m_line[1] == '\0'; }
  // The closing line of an envelope must not read as the empty line that ends a block.
  void MarkEnvelopeRead() { m_line[1] = 'B'; }

  // An item block: two groups of lines, each ended by an empty line. Runs `first` on every line
  // of the first group (after the block's own line, which is current) and `second` on every
  // line of the second; `between` runs once the first group is read. Leaves the empty line that
  // ends the block current.
  void ReadBlock(const std::function<void()>& first, const std::function<void()>& second,
                 const std::function<void()>& between = nullptr);

  LONG Tell();
  void Seek(LONG position);

 private:
  VFSFile* m_file;
  const char* m_path;
  LONG m_length = 0;
  // The last byte is never written but as a terminator, so stale text is always terminated.
  char m_line[kLineSize] = {};
};
