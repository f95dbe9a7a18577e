// The players' profiles, loaded through the engine's file system as plain XML and as the
// complemented file, the second load joining its items to the first's. What was loaded, saved
// in either form and loaded into new profiles, must give the same tree of items: names,
// properties and sub-items. (Text between the elements holds no profile data; TinyXML does not
// always print it back as it read it. Nor does it read back every byte it printed in a document
// with a declaration, which it reads as UTF-8, when that is not UTF-8: a stray lead byte swallows
// the quote after it. Such files only the comparison skips.)
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "FuzzGameBench.h"
#include "FuzzHarness.h"
#include "cpelto/PlayerProfiles.h"
#include "framework/BaseNode.h"
#include "framework/ConfigurationNode.h"
#include "framework/NodeFactory.h"

namespace {

// Names, properties and sub-items, depth first, as one text.
std::string Tree(geCBaseNode* node) {
  std::string text = std::string(node->GetName()) + "{";
  for (const auto& [name, value] : node->GetProperties()->GetAll())
    text += name + "=" + node->GetProperties()->GetString(name.c_str()) + ";";
  for (DWORD i = 0; i < node->GetNodesCount(); ++i) text += Tree(node->GetNode(i));
  return text + "}";
}

std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool IsUtf8(const std::string& text) {
  for (size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const size_t length = lead < 0x80                   ? 1
                          : lead >= 0xC2 && lead < 0xE0 ? 2
                          : lead >= 0xE0 && lead < 0xF0 ? 3
                          : lead >= 0xF0 && lead < 0xF5 ? 4
                                                        : 0;
    if (length == 0 || i + length > text.size()) return false;
    for (size_t k = 1; k < length; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    i += length;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzHarness& harness = FuzzHarness::Instance();
  // The item types profiles are made of, as the game's core registers them.
  static const bool registered = RegisterNodeType<geCConfigurationNode>("ConfigurationNode") &&
                                 RegisterNodeType<geCBaseNode>("Node");
  (void)registered;
  harness.WriteFile("profiles.xml", data, size);
  harness.WriteFile("profiles.dat", data, size);
  harness.Run([&] {
    FuzzGameBench bench;
    std::string loaded;
    {
      CPlayerProfiles profiles;
      profiles.Load("profiles.xml");
      profiles.Load("profiles.dat");
      profiles.Save("saved.dat");
      profiles.Save("saved.xml");
      loaded = Tree(profiles.GetRoot());
    }
    const std::string printed = Contents(harness.Folder() + "/saved.xml");
    if (printed.find("<?xml") != std::string::npos && !IsUtf8(printed)) return;
    for (const char* saved : {"saved.dat", "saved.xml"}) {
      CPlayerProfiles reloaded;
      if (!reloaded.Load(saved) || Tree(reloaded.GetRoot()) != loaded) std::abort();
    }
  });
  return 0;
}
