// zkdemo FOLDER: writes the demo scenes below FOLDER ("vantor-logo/logo.zks" with its object file
// and texture), the same bytes on every run.
#include <cstdio>

#include "DemoEngine.h"
#include "LogoScene.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: zkdemo FOLDER\n");
    return 2;
  }
  DemoEngine engine;
  const std::string folder = argv[1];
  if (!LogoScene::Write(engine, folder + "/vantor-logo")) {
    std::fprintf(stderr, "zkdemo: the logo scene was not written\n");
    return 1;
  }
  return 0;
}
