// The key-binding file where it cannot be written or holds no bindings.
#include <gtest/gtest.h>

#include "LogFolder.h"
#include "cpelto/KeyBindingsFile.h"

namespace {

class KeyBindingsFileTest : public LogFolder {
 protected:
  static void ExpectDefaults(const KeyBindings& bindings) {
    const KeyBindings defaults = DefaultKeyBindings();
    for (const KeyBindingEntry& entry : kKeyBindingEntries)
      EXPECT_EQ(bindings.*entry.pField, defaults.*entry.pField) << entry.szName;
  }
};

TEST_F(KeyBindingsFileTest, WithoutItsFolderNothingIsWrittenAndTheTableStays) {
  KeyBindings bindings = DefaultKeyBindings();
  KeyBindingsFile::Load(bindings);
  EXPECT_EQ(Read("GameEngine.log"),
            "NOT EXIST, can't load file 'game\\config\\keybindings.xml', generating defaults\n");
  EXPECT_FALSE(Exists("game/config/keybindings.xml"));
  ExpectDefaults(bindings);
  KeyBindingsFile::Save(bindings);
  EXPECT_FALSE(Exists("game/config/keybindings.xml"));
}

TEST_F(KeyBindingsFileTest, AFileWithoutTheElementChangesNothing) {
  m_folder.Write("game/config/keybindings.xml", R"(<Other jump="1"/>)");
  KeyBindings bindings = DefaultKeyBindings();
  KeyBindingsFile::Load(bindings);
  ExpectDefaults(bindings);
  EXPECT_EQ(Read("game/config/keybindings.xml"), R"(<Other jump="1"/>)");
}

}  // namespace
