// zkdemo PACKED [LOOSE]: writes the demo data, the same bytes on every run. Below PACKED, what the
// game reads through its data archive: the scenes with their object files and textures (the logo,
// the objects, the progress bar, the levels' floors) and the pictures. Below LOOSE, when given,
// what the game opens straight from disk: the sounds, the menu video and the mouse cursor.
#include <cstdio>

#include "DemoEngine.h"
#include "DemoLevelScene.h"
#include "DemoMedia.h"
#include "DemoObjects.h"
#include "DemoSounds.h"
#include "DemoTextures.h"
#include "LogoScene.h"

namespace {

// The levels' map sizes, which their map files under runtime/game/levels follow.
struct DemoLevel {
  const char* name;
  int width, height;
};
constexpr DemoLevel kLevels[] = {{"level1", 10, 8}, {"level2", 7, 13}};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: zkdemo PACKED [LOOSE]\n");
    return 2;
  }
  DemoEngine engine;
  const std::string packed = argv[1];
  if (!LogoScene::Write(engine, packed + "/vantor-logo")) {
    std::fprintf(stderr, "zkdemo: the logo scene was not written\n");
    return 1;
  }
  if (!DemoTextures::Write(packed) || !DemoObjects::Write(engine, packed)) return 1;
  for (const DemoLevel& level : kLevels)
    if (!DemoLevelScene::Write(engine, packed + "/game/levels/" + level.name, level.name,
                               level.width, level.height))
      return 1;
  if (argc == 3) {
    const std::string loose = argv[2];
    if (!DemoSounds::Write(loose) || !DemoMedia::Write(loose)) return 1;
  }
  return 0;
}
