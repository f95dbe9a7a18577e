#pragma once
// Builds RAR 5 archives with stored (uncompressed) members, so tests can make the archives they
// read and damage them at will.
#include <string>
#include <vector>

class Rar5Writer {
 public:
  // Adds a member; `name` is stored as given (RAR 5 stores '/' separators).
  Rar5Writer& Add(const std::string& name, const std::string& data, bool directory = false);
  // The whole archive: signature, main header, the members, end-of-archive header.
  std::string Bytes() const;
  void Write(const std::string& path) const;

 private:
  struct Member {
    std::string name;
    std::string data;
    bool directory;
  };
  std::vector<Member> m_members;
};
