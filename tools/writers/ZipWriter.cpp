#include "ZipWriter.h"

#include <zlib.h>

#include <cstdint>
#include <fstream>
#include <stdexcept>

#include "LittleEndian.h"

namespace {

constexpr uint16_t kVersionNeeded = 20;  // deflate and traditional encryption
constexpr uint16_t kMadeOnUnix = 3 << 8 | kVersionNeeded;
constexpr uint16_t kFlagEncrypted = 1;
constexpr uint16_t kMethodDeflate = 8;
constexpr uint16_t kDate = (2005 - 1980) << 9 | 5 << 5 | 26;  // one fixed stamp for every member
constexpr uint32_t kRegularFile = 0100644u << 16;
constexpr size_t kEncryptionHeader = 12;

std::string Deflate(const std::string& data) {
  z_stream stream{};
  if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
    throw std::runtime_error("zip writer: deflate refused");
  std::string out(deflateBound(&stream, data.size()), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  const int result = deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  if (result != Z_STREAM_END) throw std::runtime_error("zip writer: deflate failed");
  return out;
}

// The traditional PKWARE cipher: three keys stirred by every plain byte.
class TraditionalCipher {
 public:
  explicit TraditionalCipher(const std::string& password) {
    for (char c : password) Update(static_cast<uint8_t>(c));
  }
  char Encrypt(char plain) {
    const uint32_t temp = (m_keys[2] | 2) & 0xFFFF;
    const char cipher = static_cast<char>(plain ^ static_cast<char>((temp * (temp ^ 1)) >> 8));
    Update(static_cast<uint8_t>(plain));
    return cipher;
  }

 private:
  static uint32_t Crc(uint32_t crc, uint8_t byte) {
    return static_cast<uint32_t>(get_crc_table()[(crc ^ byte) & 0xFF]) ^ (crc >> 8);
  }
  void Update(uint8_t byte) {
    m_keys[0] = Crc(m_keys[0], byte);
    m_keys[1] = (m_keys[1] + (m_keys[0] & 0xFF)) * 134775813u + 1;
    m_keys[2] = Crc(m_keys[2], static_cast<uint8_t>(m_keys[1] >> 24));
  }
  uint32_t m_keys[3] = {0x12345678u, 0x23456789u, 0x34567890u};
};

// The twelve bytes before an encrypted member's data: eleven that only need to differ between
// members (taken from the member's own checksums, not from a random source, so that the archive
// is reproducible), then the high byte of the CRC, which readers check the password against.
std::string EncryptionHeader(const std::string& name, uint32_t crc) {
  std::string header;
  uint32_t seed = static_cast<uint32_t>(crc32(crc, reinterpret_cast<const Bytef*>(name.data()),
                                              static_cast<uInt>(name.size())));
  while (header.size() < kEncryptionHeader - 1) {
    seed = seed * 1103515245u + 12345u;
    header += static_cast<char>(seed >> 16);
  }
  header += static_cast<char>(crc >> 24);
  return header;
}

}  // namespace

ZipWriter& ZipWriter::Add(const std::string& name, const std::string& data) {
  m_members.emplace_back(name, data);
  return *this;
}

std::string ZipWriter::Bytes() const {
  std::string archive, directory;
  const bool encrypted = !m_password.empty();
  if (m_members.size() > 0xFFFF) throw std::runtime_error("zip writer: too many members");
  for (const auto& [name, data] : m_members) {
    const uint32_t crc = static_cast<uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
    std::string body = Deflate(data);
    if (encrypted) {
      TraditionalCipher cipher(m_password);
      body = EncryptionHeader(name, crc) + body;
      for (char& c : body) c = cipher.Encrypt(c);
    }
    if (body.size() > UINT32_MAX || data.size() > UINT32_MAX || archive.size() > UINT32_MAX)
      throw std::runtime_error("zip writer: member too large: " + name);
    const uint32_t offset = static_cast<uint32_t>(archive.size());

    // The fields the local header and the directory entry share.
    std::string common;
    Put16(common, kVersionNeeded);
    Put16(common, encrypted ? kFlagEncrypted : 0);
    Put16(common, kMethodDeflate);
    Put16(common, 0);  // time
    Put16(common, kDate);
    Put32(common, crc);
    Put32(common, static_cast<uint32_t>(body.size()));
    Put32(common, static_cast<uint32_t>(data.size()));
    Put16(common, static_cast<uint32_t>(name.size()));
    Put16(common, 0);  // extra field

    Put32(archive, 0x04034b50);
    archive += common + name + body;

    Put32(directory, 0x02014b50);
    Put16(directory, kMadeOnUnix);
    directory += common;
    Put16(directory, 0);  // comment
    Put16(directory, 0);  // disk
    Put16(directory, 0);  // internal attributes
    Put32(directory, kRegularFile);
    Put32(directory, offset);
    directory += name;
  }
  const uint32_t directoryOffset = static_cast<uint32_t>(archive.size());
  archive += directory;
  Put32(archive, 0x06054b50);
  Put16(archive, 0);
  Put16(archive, 0);
  Put16(archive, static_cast<uint32_t>(m_members.size()));
  Put16(archive, static_cast<uint32_t>(m_members.size()));
  Put32(archive, static_cast<uint32_t>(directory.size()));
  Put32(archive, directoryOffset);
  Put16(archive, 0);  // comment
  return archive;
}

void ZipWriter::Write(const std::string& path) const {
  const std::string bytes = Bytes();
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("zip writer: cannot write " + path);
}
