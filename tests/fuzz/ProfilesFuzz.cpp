// The players' profiles, loaded through the engine's file system as plain XML and as the
// complemented file, the second load joining its items to the first's. Saving what was loaded,
// loading that into new profiles and saving again must write the same bytes.
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "FuzzGameBench.h"
#include "FuzzHarness.h"
#include "cpelto/PlayerProfiles.h"

namespace {

std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzHarness& harness = FuzzHarness::Instance();
  harness.WriteFile("profiles.xml", data, size);
  harness.WriteFile("profiles.dat", data, size);
  harness.Run([&] {
    FuzzGameBench bench;
    {
      CPlayerProfiles profiles;
      profiles.Load("profiles.xml");
      profiles.Load("profiles.dat");
      profiles.Save("saved.dat");
    }
    CPlayerProfiles reloaded;
    if (!reloaded.Load("saved.dat")) std::abort();
    reloaded.Save("again.dat");
    if (Contents(harness.Folder() + "/saved.dat") != Contents(harness.Folder() + "/again.dat"))
      std::abort();
  });
  return 0;
}
