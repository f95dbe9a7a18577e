#pragma once
// Where test commands come from: a FIFO or a plain file read without blocking, and text handed
// in directly. It cuts what arrives into lines and never holds more than one line's worth
// beyond what the last read brought.
#include <cstddef>
#include <string>

class CommandSource {
 public:
  static constexpr size_t kMaxLineBytes = 4096;

  CommandSource() = default;
  ~CommandSource();
  CommandSource(const CommandSource&) = delete;
  CommandSource& operator=(const CommandSource&) = delete;

  // Reads from `path` from now on, dropping what was pending. False, with the reason in `error`,
  // when it cannot be opened or is neither a FIFO nor a plain file.
  bool Open(const std::string& path, std::string& error);
  // Stops reading and drops what was pending.
  void Close();
  // Text that arrives as if it had been read.
  void Append(const std::string& text);

  // The next whole line without its line end, reading more when needed; false when no whole
  // line has arrived yet. A line longer than kMaxLineBytes comes back once with `overlong` set
  // and only its start; the rest of it is skipped as it arrives.
  bool NextLine(std::string& line, bool& overlong);

  // The folder of the file read (absolute), or the working folder when none was opened.
  std::string Folder() const;

 private:
  // Appends what the file has for us now; false when nothing came.
  bool ReadMore();

  int m_file = -1;
  std::string m_folder;
  std::string m_pending;
  bool m_skippingLine = false;
};
