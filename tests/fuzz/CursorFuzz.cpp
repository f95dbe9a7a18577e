// Cursor files, through the decoder LoadCursorFromFileA reads them with (compiled in from the
// platform's sources, as its unit tests do, so that no handle outlives the input). A decoded
// cursor must have exactly its pixels.
#include <cstdlib>
#include <string>
#include <vector>

#include "CursorFile.h"
#include "FuzzHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzHarness::Instance().Run([&] {
    CursorImage image;
    std::string error;
    if (CursorFile::Decode(std::vector<uint8_t>(data, data + size), image, error) &&
        (image.width <= 0 || image.height <= 0 ||
         image.rgba.size() != size_t(image.width) * size_t(image.height) * 4))
      std::abort();
  });
  return 0;
}
