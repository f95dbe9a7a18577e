#include "startup/LicenseFile.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>

#include "zkplatform/ZkPaths.h"

namespace {

// The blocks are kept scrambled in the library, so that the text cannot be changed with a
// string search: byte i is the plain byte rotated left by (i mod 8) bits.
template <size_t N>
struct ScrambledBlock {
  std::array<uint8_t, N - 1> bytes{};

  consteval explicit ScrambledBlock(const char (&plain)[N]) {
    for (size_t i = 0; i + 1 < N; ++i) {
      const unsigned byte = static_cast<uint8_t>(plain[i]);
      const unsigned shift = i % 8;
      bytes[i] = static_cast<uint8_t>((byte << shift) | (byte >> ((8 - shift) % 8)));
    }
  }

  std::string Restore() const {
    std::string text(bytes.size(), '\0');
    for (size_t i = 0; i < bytes.size(); ++i) {
      const unsigned byte = bytes[i];
      const unsigned shift = i % 8;
      text[i] = static_cast<char>(static_cast<uint8_t>((byte >> shift) | (byte << ((8 - shift) % 8))));
    }
    return text;
  }
};

constexpr ScrambledBlock kTitle(
    "ZeKorb 3D engine - licence for the use of this copy of the engine library and its data files");
constexpr ScrambledBlock kCopyright("Copyright (C) the ZeKorb team. All rights reserved.");
constexpr ScrambledBlock kContact("Report problems to the ZeKorb developers.");
constexpr ScrambledBlock kSeparator("-------------------------------------");
constexpr ScrambledBlock kHeading("Terms under which this library may be used:");
constexpr ScrambledBlock kTerms(
    "1. This library is licensed, not sold, for use with the application that it was delivered "
    "with. You may run it on any number of machines that you own or control, together with "
    "that application.\n"
    "2. You may not sell, rent, lend or sub-license the library on its own, nor separate it from "
    "the application to use it in another program, without the written consent of its "
    "authors.\n"
    "3. You may not alter the library, or the data files that came with it, and then "
    "distribute the altered copies.\n"
    "4. The library is provided as it is, without warranty of any kind, either expressed or "
    "implied, including but not limited to the implied warranties of fitness for a particular "
    "purpose. The whole risk as to its quality and performance lies with you.\n"
    "5. In no event shall the authors be liable for any damages whatsoever, including lost "
    "profits, lost data or other incidental or consequential damages, arising out of the use "
    "of, or the inability to use, the library, even if they have been told of the possibility "
    "of such damages.\n"
    "6. The log files, statistics and licence text that the library writes beside itself may be "
    "removed at any time; it writes them again when it next starts.\n"
    "7. This licence ends when you fail to keep to its terms; you must then destroy every copy "
    "of the library in your possession.\n"
    "By running the application you accept these terms.");

}  // namespace

bool WriteLicenseFile(const char* folder) {
  const std::string path = std::string(folder ? folder : "") + "License.txt";
  FILE* file = ZkFileOpen(path.c_str(), "w");
  if (!file) return false;
  bool written = true;
  for (const std::string& block : {kTitle.Restore(), kCopyright.Restore(), kContact.Restore(),
                                   kSeparator.Restore(), kHeading.Restore(), kTerms.Restore()}) {
    const std::string line = block + "\r\n";
    written = std::fwrite(line.data(), 1, line.size(), file) == line.size() && written;
  }
  return std::fclose(file) == 0 && written;
}
