#pragma once
// Writes ZIP archives through libarchive, deflated, optionally with a password (traditional
// PKWARE encryption, which every ZIP reader knows).
#include <string>
#include <utility>
#include <vector>

class ZipWriter {
 public:
  explicit ZipWriter(std::string password = "") : m_password(std::move(password)) {}

  // Adds a member under `name` ('/' separated, as ZIP stores names).
  ZipWriter& Add(const std::string& name, const std::string& data);
  // Throws std::runtime_error when libarchive refuses.
  void Write(const std::string& path) const;

 private:
  std::string m_password;
  std::vector<std::pair<std::string, std::string>> m_members;
};
