// The main() of every test program. Tests run headless whatever the machine has: offscreen
// windows, Mesa's software rasteriser, OpenAL Soft's null output. A variable already set by the
// caller wins, so a developer can still point a test at a real display or sound card.
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  setenv("ALSOFT_DRIVERS", "null", 0);
  setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
  setenv("LP_NUM_THREADS", "2", 0);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
