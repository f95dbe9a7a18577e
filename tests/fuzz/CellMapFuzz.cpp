// The game's cell maps (a level's element and collision maps, the camera's height map), read
// through the engine's file system from the working folder on grids of a few shapes, the empty
// one among them. Every cell of the grid must hold a letter or a digit, '0' where the file ends
// short.
#include <cctype>
#include <cstdlib>
#include <vector>

#include "FuzzGameBench.h"
#include "FuzzHarness.h"
#include "cpelto/CellMapFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzHarness& harness = FuzzHarness::Instance();
  harness.WriteFile("level.map", data, size);
  harness.Run([] {
    FuzzGameBench bench;
    struct Grid {
      DWORD width, height;
    };
    for (const Grid grid : {Grid{0, 4}, Grid{4, 0}, Grid{1, 1}, Grid{7, 5}, Grid{64, 48}}) {
      std::vector<char> codes{'x'};
      if (!ReadCellMapFile("level.map", "level map", grid.width, grid.height, codes)) std::abort();
      if (codes.size() != size_t(grid.width) * grid.height) std::abort();
      for (char code : codes)
        if (!std::isalnum(static_cast<unsigned char>(code))) std::abort();
    }
  });
  return 0;
}
