// The game's key-binding file, loaded from disk as before the engine runs (a broken file stops
// the program) and through the engine's file system as after. What was loaded must come back
// the same when it is saved and loaded again.
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "FuzzGameBench.h"
#include "FuzzHarness.h"
#include "cpelto/KeyBindingsFile.h"

namespace {

bool Same(const KeyBindings& a, const KeyBindings& b) {
  for (const KeyBindingEntry& entry : kKeyBindingEntries)
    if (a.*entry.pField != b.*entry.pField) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzHarness& harness = FuzzHarness::Instance();
  static const bool folders =
      std::filesystem::create_directories(harness.Folder() + "/game/config");
  (void)folders;
  harness.WriteFile("game/config/keybindings.xml", data, size);
  harness.Run([] {
    geCLogger::SetLoggingEnabled(false);
    KeyBindings bindings = DefaultKeyBindings();
    KeyBindingsFile::Load(bindings);
  });
  harness.Run([] {
    FuzzGameBench bench;
    KeyBindings loaded = DefaultKeyBindings();
    KeyBindingsFile::Load(loaded);
    KeyBindingsFile::Save(loaded);
    KeyBindings again = DefaultKeyBindings();
    // Every binding must come from the file, none from the table.
    std::memset(&again, 0xA5, sizeof again);
    KeyBindingsFile::Load(again);
    if (!Same(loaded, again)) std::abort();
  });
  return 0;
}
