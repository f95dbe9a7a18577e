#include "Rar5Writer.h"

#include <zlib.h>

#include <cstdint>
#include <fstream>
#include <stdexcept>

namespace {

// RAR 5's variable-length integer: 7 bits per byte, low bits first, high bit for "more".
std::string Vint(uint64_t value) {
  std::string out;
  do {
    unsigned char byte = value & 0x7F;
    value >>= 7;
    if (value) byte |= 0x80;
    out += static_cast<char>(byte);
  } while (value);
  return out;
}

std::string Le32(uint32_t value) {
  std::string out;
  for (int i = 0; i < 4; ++i) out += static_cast<char>(value >> (8 * i) & 0xFF);
  return out;
}

uint32_t Crc32(const std::string& bytes) {
  return static_cast<uint32_t>(
      crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

// A header: CRC-32 of everything after it, the size of what follows the size, then `body`
// (type, flags and the fields of the type).
std::string Header(const std::string& body) {
  const std::string sized = Vint(body.size()) + body;
  return Le32(Crc32(sized)) + sized;
}

}  // namespace

Rar5Writer& Rar5Writer::Add(const std::string& name, const std::string& data, bool directory) {
  m_members.push_back({name, data, directory});
  return *this;
}

std::string Rar5Writer::Bytes() const {
  constexpr unsigned kMainHead = 1, kFileHead = 2, kEndHead = 5;
  constexpr unsigned kHasData = 0x0002;
  constexpr unsigned kDirectory = 0x0001, kHasCrc = 0x0004;
  constexpr unsigned kHostWindows = 0;
  std::string out("Rar!\x1A\x07\x01\x00", 8);
  out += Header(Vint(kMainHead) + Vint(0) + Vint(0));
  for (const Member& member : m_members) {
    std::string body = Vint(kFileHead) + Vint(kHasData) + Vint(member.data.size());
    body += Vint(member.directory ? kDirectory : kHasCrc);
    body += Vint(member.data.size());
    body += Vint(member.directory ? 0x10 : 0x20);  // attributes: directory or archive
    if (!member.directory) body += Le32(Crc32(member.data));
    body += Vint(0);  // compression: version 0, stored
    body += Vint(kHostWindows);
    body += Vint(member.name.size()) + member.name;
    out += Header(body) + member.data;
  }
  return out + Header(Vint(kEndHead) + Vint(0) + Vint(0));
}

void Rar5Writer::Write(const std::string& path) const {
  std::ofstream file(path, std::ios::binary);
  file << Bytes();
  if (!file) throw std::runtime_error("cannot write " + path);
}
