#pragma once
// Builds RAR 4 archives with stored (uncompressed) members, so tests can make the archives they
// read: flags such as the encryption bit are set as given, and the bytes can be damaged at will.
#include <string>
#include <vector>

class Rar4Writer {
 public:
  // File-header flags of the format.
  static constexpr unsigned kEncrypted = 0x0004;
  static constexpr unsigned kDirectory = 0x00E0;
  // Main-header flag: the block headers are encrypted too.
  static constexpr unsigned kEncryptedHeaders = 0x0080;

  // Every member's time: 26 May 2005, 00:00, in MS-DOS form.
  static constexpr unsigned kDosTime = (2005u - 1980) << 25 | 5u << 21 | 26u << 16;

  explicit Rar4Writer(unsigned mainFlags = 0) : m_mainFlags(mainFlags) {}

  // Adds a member; `name` is stored as given (use '\' separators, as RAR on Windows does).
  Rar4Writer& Add(const std::string& name, const std::string& data, unsigned flags = 0);
  // The whole archive: marker, main header, the members, end-of-archive block.
  std::string Bytes() const;
  void Write(const std::string& path) const;

 private:
  struct Member {
    std::string name;
    std::string data;
    unsigned flags;
  };
  unsigned m_mainFlags;
  std::vector<Member> m_members;
};
