#include "RegistryFile.h"

#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "MediaLog.h"
#include "XdgFolders.h"

namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string Escape(const std::string& text, const char* special) {
  std::string out;
  for (unsigned char c : text) {
    if (c < 0x20 || c > 0x7E || c == '%' || std::strchr(special, c)) {
      char hex[4];
      snprintf(hex, sizeof hex, "%%%02X", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

bool Unescape(const std::string& text, std::string& out) {
  out.clear();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out += text[i];
      continue;
    }
    if (i + 2 >= text.size() || !std::isxdigit(static_cast<unsigned char>(text[i + 1])) ||
        !std::isxdigit(static_cast<unsigned char>(text[i + 2])))
      return false;
    out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
    i += 2;
  }
  return true;
}

// "name=type:data" into a value; false when the line is not one.
bool ParseValue(const std::string& line, CRegistryFile::Value& value) {
  const size_t equals = line.find('=');
  const size_t colon = equals == std::string::npos ? std::string::npos : line.find(':', equals);
  if (colon == std::string::npos || colon == equals + 1 || colon - equals > 11) return false;
  const std::string type = line.substr(equals + 1, colon - equals - 1);
  if (type.find_first_not_of("0123456789") != std::string::npos) return false;
  const unsigned long number = std::stoul(type);
  if (number > 0xFFFFFFFFul) return false;
  value.type = static_cast<DWORD>(number);
  return Unescape(line.substr(0, equals), value.name) &&
         Unescape(line.substr(colon + 1), value.data);
}

}  // namespace

std::string CRegistryFile::UserFile() { return CXdgFolders::ConfigHome() + "/zkplatform/registry"; }

bool CRegistryFile::Load() {
  m_keys.clear();
  m_unreadable.clear();
  std::ifstream file(m_path, std::ios::binary);
  if (!file) {
    if (access(m_path.c_str(), F_OK) != 0) return true;
    ZkMediaLog("registry", "cannot read '%s'", m_path.c_str());
    return false;
  }
  Key* current = nullptr;
  for (std::string line; std::getline(file, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    std::string name;
    if (line.front() == '[' && line.back() == ']' &&
        Unescape(line.substr(1, line.size() - 2), name) && !name.empty()) {
      Key& key = m_keys[Lower(name)];
      key.name = name;
      current = &key;
      continue;
    }
    Value value;
    if (current && ParseValue(line, value)) {
      current->values[Lower(value.name)] = std::move(value);
      continue;
    }
    ZkMediaLog("registry", "'%s': unreadable line kept as it is: %.80s", m_path.c_str(),
               line.c_str());
    (current ? current->unreadable : m_unreadable).push_back(line);
  }
  return true;
}

bool CRegistryFile::Save() const {
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(m_path).parent_path(), error);
  const std::string temporary = m_path + ".new";
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    file << "# zkplatform registry: [key] lines, then name=type:data; other bytes as %XX\n";
    for (const std::string& line : m_unreadable) file << line << '\n';
    for (const auto& [lower, key] : m_keys) {
      file << '[' << Escape(key.name, "[]") << "]\n";
      for (const auto& [lowerName, value] : key.values)
        file << Escape(value.name, "=[]") << '=' << value.type << ':' << Escape(value.data, "")
             << '\n';
      for (const std::string& line : key.unreadable) file << line << '\n';
    }
    file.flush();
    if (!file) {
      ZkMediaLog("registry", "cannot write '%s'", temporary.c_str());
      std::filesystem::remove(temporary, error);
      return false;
    }
  }
  if (std::rename(temporary.c_str(), m_path.c_str()) != 0) {
    ZkMediaLog("registry", "cannot replace '%s'", m_path.c_str());
    std::filesystem::remove(temporary, error);
    return false;
  }
  return true;
}

bool CRegistryFile::HasKey(const std::string& key) const { return m_keys.count(Lower(key)) != 0; }

void CRegistryFile::AddKey(const std::string& key) {
  for (size_t end = key.find('\\');; end = key.find('\\', end + 1)) {
    const std::string path = key.substr(0, end);
    Key& entry = m_keys[Lower(path)];
    if (entry.name.empty()) entry.name = path;
    if (end == std::string::npos) break;
  }
}

const CRegistryFile::Value* CRegistryFile::Find(const std::string& key,
                                                const std::string& name) const {
  auto found = m_keys.find(Lower(key));
  if (found == m_keys.end()) return nullptr;
  auto value = found->second.values.find(Lower(name));
  return value == found->second.values.end() ? nullptr : &value->second;
}

void CRegistryFile::Set(const std::string& key, const std::string& name, DWORD type,
                        std::string data) {
  AddKey(key);
  auto [entry, added] = m_keys[Lower(key)].values.try_emplace(Lower(name));
  Value& value = entry->second;
  if (added) value.name = name;  // a value set again keeps the name it was made with
  value.type = type;
  value.data = std::move(data);
}
