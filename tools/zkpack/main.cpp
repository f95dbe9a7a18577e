// zkpack FOLDER ARCHIVE [PASSWORD]
#include <cstdio>
#include <exception>

#include "FolderPacker.h"

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: zkpack FOLDER ARCHIVE [PASSWORD]\n");
    return 2;
  }
  try {
    FolderPacker(argv[1]).Pack(argv[2], argc == 4 ? argv[3] : "");
  } catch (const std::exception& e) {
    std::fprintf(stderr, "zkpack: %s\n", e.what());
    return 1;
  }
  return 0;
}
