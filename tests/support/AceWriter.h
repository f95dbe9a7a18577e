#pragma once
// Writes ACE archives for tests: a main header (solid or not, with or without a comment) and
// file members, stored or compressed with LZ77 and prefix codes the way the engine's
// decompressor reads them. Members can also carry packed bytes or a CRC given by the test, so
// that hand-made streams and damaged members are a few lines of test code.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class AceWriter {
 public:
  static constexpr unsigned kStored = 0;
  static constexpr unsigned kLz77 = 1;
  // The low 4 bits of the parameters: the dictionary the member needs is 2^(10 + this).
  static constexpr unsigned kDictionary1MB = 10;

  struct Member {
    std::string name;
    std::string data;  // what the member unpacks to
    unsigned method = kLz77;
    unsigned dictionaryParameter = kDictionary1MB;
    std::string comment;                 // packed into the header when not empty
    std::optional<std::string> packed;   // these bytes instead of packing `data`
    std::optional<uint32_t> crc;         // this CRC instead of the data's
  };

  AceWriter& SetSolid(bool solid);
  AceWriter& SetComment(const std::string& comment);
  AceWriter& Add(const Member& member);
  AceWriter& AddStored(const std::string& name, const std::string& data);
  AceWriter& AddCompressed(const std::string& name, const std::string& data);

  // The archive; `headerOffsets` receives where each header starts (the main header first).
  std::string Build(std::vector<size_t>* headerOffsets = nullptr) const;

  // The LZ77 stream of `data`; `history` is what a solid archive unpacked before it.
  static std::string Compress(const std::string& data, const std::string& history = "");
  // The packed form of a comment.
  static std::string PackComment(const std::string& text);
  // The running CRC-32 of ACE archives (started at all ones, not inverted at the end).
  static uint32_t Crc(const std::string& bytes);
  // Packs a text of '0' and '1' (other characters are skipped) into 32-bit little-endian
  // words, first bit most significant, the last word padded with zeros.
  static std::string Bits(const std::string& text);

 private:
  bool m_solid = false;
  std::string m_comment;
  std::vector<Member> m_members;
};
