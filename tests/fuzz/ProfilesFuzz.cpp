// The players' profiles, loaded through the engine's file system as plain XML and as the
// complemented file, the second load joining its items to the first's. What was loaded, saved
// in either form and loaded into new profiles, must give the same tree of items: names,
// properties and sub-items. (Text between the elements holds no profile data; TinyXML does not
// always print it back as it read it.)
#include <cstdlib>
#include <string>

#include "FuzzGameBench.h"
#include "FuzzHarness.h"
#include "cpelto/PlayerProfiles.h"
#include "framework/BaseNode.h"

namespace {

// Names, properties and sub-items, depth first, as one text.
std::string Tree(geCBaseNode* node) {
  std::string text = std::string(node->GetName()) + "{";
  for (const auto& [name, value] : node->GetProperties()->GetAll())
    text += name + "=" + node->GetProperties()->GetString(name.c_str()) + ";";
  for (DWORD i = 0; i < node->GetNodesCount(); ++i) text += Tree(node->GetNode(i));
  return text + "}";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzHarness& harness = FuzzHarness::Instance();
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
    for (const char* saved : {"saved.dat", "saved.xml"}) {
      CPlayerProfiles reloaded;
      if (!reloaded.Load(saved) || Tree(reloaded.GetRoot()) != loaded) std::abort();
    }
  });
  return 0;
}
