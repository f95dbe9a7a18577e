#pragma once
// The registry's key-value file: keys as "[HKEY_CURRENT_USER\Control Panel\Desktop]" lines, each
// followed by its values as "name=type:data" lines. Names and data are text, with '%', control
// bytes, bytes above 0x7E and the separators written as %XX, so any value survives the trip.
// Keys and value names compare without regard to ASCII case. Lines that cannot be read are kept
// as they are and written back, so a damaged line loses nothing else.
#include <map>
#include <string>
#include <vector>

#include "windows.h"

class CRegistryFile {
 public:
  struct Value {
    std::string name;
    DWORD type = REG_NONE;
    std::string data;
  };

  // The file of the current user: $XDG_CONFIG_HOME/zkplatform/registry.
  static std::string UserFile();

  explicit CRegistryFile(std::string path) : m_path(std::move(path)) {}

  // False when the file exists but cannot be read; a missing file is an empty registry.
  bool Load();
  // Writes a new file and renames it over the old one; false on failure.
  bool Save() const;

  bool HasKey(const std::string& key) const;
  // Adds the key and every key above it.
  void AddKey(const std::string& key);
  const Value* Find(const std::string& key, const std::string& name) const;
  void Set(const std::string& key, const std::string& name, DWORD type, std::string data);

 private:
  struct Key {
    std::string name;
    std::map<std::string, Value> values;  // by lower-case name
    std::vector<std::string> unreadable;
  };

  std::string m_path;
  std::map<std::string, Key> m_keys;      // by lower-case path
  std::vector<std::string> m_unreadable;  // before the first key
};
