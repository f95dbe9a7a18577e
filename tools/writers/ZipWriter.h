#pragma once
// Writes ZIP archives, deflated, optionally with a password (traditional PKWARE encryption,
// which every ZIP reader knows). The bytes depend on the members and the password alone (no
// clock, no random numbers), so that a build makes the same archive every time.
#include <string>
#include <utility>
#include <vector>

class ZipWriter {
 public:
  explicit ZipWriter(std::string password = "") : m_password(std::move(password)) {}

  // Adds a member under `name` ('/' separated, as ZIP stores names).
  ZipWriter& Add(const std::string& name, const std::string& data);
  // The whole archive.
  std::string Bytes() const;
  // Throws std::runtime_error when the file cannot be written.
  void Write(const std::string& path) const;

 private:
  std::string m_password;
  std::vector<std::pair<std::string, std::string>> m_members;
};
