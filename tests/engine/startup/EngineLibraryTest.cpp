#include <gtest/gtest.h>

#include <dlfcn.h>

// The deliverable loads with every symbol it needs resolved, and keeps the engine's own
// classes and globals to itself: only its one export is meant to be visible.
TEST(EngineLibraryTest, LoadsCompletelyAndHidesItsInternals) {
  void* library = dlopen(ZEKORB_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  EXPECT_EQ(dlsym(library, "g_pEngineContext"), nullptr);
  EXPECT_EQ(dlsym(library, "_Z13ReadTimeStampv"), nullptr);
  EXPECT_EQ(dlsym(library, "_ZN10CTokenizer8TokenizeEPci"), nullptr);
  dlclose(library);
}
