#include "Rar4Writer.h"

#include <zlib.h>

#include <fstream>
#include <stdexcept>

#include "LittleEndian.h"

namespace {

uint32_t Crc32(const std::string& bytes) {
  return static_cast<uint32_t>(
      crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

// A block: its header CRC is the low half of the CRC-32 of everything after the CRC field.
std::string Block(const std::string& afterCrc) {
  std::string block;
  Put16(block, Crc32(afterCrc) & 0xFFFF);
  return block + afterCrc;
}

}  // namespace

Rar4Writer& Rar4Writer::Add(const std::string& name, const std::string& data, unsigned flags) {
  m_members.push_back({name, data, flags});
  return *this;
}

std::string Rar4Writer::Bytes() const {
  constexpr unsigned kLongBlock = 0x8000;
  constexpr unsigned kHostWindows = 2;
  constexpr unsigned kMethodStore = 0x30;
  std::string out("Rar!\x1A\x07\x00", 7);

  std::string main;
  main += '\x73';
  Put16(main, m_mainFlags);
  Put16(main, 13);
  Put16(main, 0);
  Put32(main, 0);
  out += Block(main);

  for (const Member& member : m_members) {
    const bool directory = (member.flags & kDirectory) == kDirectory;
    std::string header;
    header += '\x74';
    Put16(header, kLongBlock | member.flags);
    Put16(header, static_cast<unsigned>(32 + member.name.size()));
    Put32(header, static_cast<uint32_t>(member.data.size()));  // packed: stored as it is
    Put32(header, static_cast<uint32_t>(member.data.size()));
    header += static_cast<char>(kHostWindows);
    Put32(header, Crc32(member.data));
    Put32(header, kDosTime);
    header += static_cast<char>(20);  // version needed to unpack: 2.0
    header += static_cast<char>(kMethodStore);
    Put16(header, static_cast<unsigned>(member.name.size()));
    Put32(header, directory ? 0x10 : 0x20);
    header += member.name;
    out += Block(header) + member.data;
  }

  std::string end;
  end += '\x7B';
  Put16(end, 0x4000);
  Put16(end, 7);
  return out + Block(end);
}

void Rar4Writer::Write(const std::string& path) const {
  std::ofstream file(path, std::ios::binary);
  file << Bytes();
  if (!file) throw std::runtime_error("cannot write " + path);
}
