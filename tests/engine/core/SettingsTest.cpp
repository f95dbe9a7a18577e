#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "RecordingEngineLog.h"
#include "TempDir.h"
#include "core/SettingEntry.h"
#include "core/Settings.h"

namespace {

// Loads `contents` as the override file and returns the settings.
void LoadOverride(CSettings& settings, CRecordingEngineLog& log, const std::string& contents) {
  TempDir folder;
  folder.Write("override.zk", contents);
  settings.LoadOverrideFile(folder.Path().c_str(), &log);
}

}  // namespace

TEST(SettingEntryTest, GettersGiveNothingOfAnotherType) {
  CSettingEntry entry("allocator_page_memory");
  EXPECT_EQ(entry.GetType(), CSettingEntry::kUnset);
  EXPECT_EQ(entry.GetString(), nullptr);

  entry.SetInt(20000000);
  EXPECT_EQ(entry.GetType(), CSettingEntry::kInteger);
  EXPECT_EQ(entry.GetInt(), 20000000);
  EXPECT_EQ(entry.GetFloat(), 0.0f);
  EXPECT_EQ(entry.GetString(), nullptr);

  entry.SetFloat(1.5f);
  EXPECT_EQ(entry.GetInt(), 0);
  EXPECT_EQ(entry.GetFloat(), 1.5f);

  EXPECT_EQ(entry.SetString("s:"), 2);
  EXPECT_STREQ(entry.GetString(), "s:");
  EXPECT_EQ(entry.GetFloat(), 0.0f);
}

TEST(SettingEntryTest, NamesAndStringsKeep255CharactersAndTheirTerminator) {
  std::string longName(300, 'n');
  CSettingEntry entry(longName.c_str());
  EXPECT_EQ(std::string(entry.GetName()), std::string(255, 'n'));
  EXPECT_EQ(entry.SetString(std::string(256, 's').c_str()), 255);
  EXPECT_EQ(std::string(entry.GetString()), std::string(255, 's'));
  EXPECT_EQ(entry.SetString(nullptr), 0);
  EXPECT_STREQ(entry.GetString(), "");
}

TEST(SettingEntryTest, ALockedEntryIgnoresSettersUntilUnlockedWithItsKey) {
  CSettingEntry entry("vsync");
  entry.SetInt(1);
  EXPECT_EQ(entry.Unlock(5), 1);  // not locked
  EXPECT_EQ(entry.Lock(7), 1);
  EXPECT_EQ(entry.Lock(8), 0);
  entry.SetInt(2);
  entry.SetFloat(2.0f);
  EXPECT_EQ(entry.SetString("x"), 0);
  EXPECT_EQ(entry.GetType(), CSettingEntry::kInteger);
  EXPECT_EQ(entry.GetInt(), 1);
  EXPECT_EQ(entry.Unlock(8), 0);
  EXPECT_EQ(entry.Unlock(7), 1);
  entry.SetInt(2);
  EXPECT_EQ(entry.GetInt(), 2);
}

TEST(SettingsTest, AddFindsExistingNamesExactlyAndAppendsNewOnes) {
  CSettings settings;
  CSettingEntry* width = settings.AddSetting("width");
  CSettingEntry* height = settings.AddSetting("height");
  EXPECT_EQ(settings.AddSetting("width"), width);
  EXPECT_NE(settings.AddSetting("Width"), width);
  EXPECT_EQ(settings.GetSetting("height"), height);
  EXPECT_EQ(settings.GetSetting("missing"), nullptr);
  EXPECT_EQ(settings.AddSetting(nullptr), nullptr);
  EXPECT_EQ(settings.GetSetting(nullptr), nullptr);
  EXPECT_EQ(settings.GetFirstSetting(), width);
  EXPECT_EQ(width->GetNext(), height);
  EXPECT_EQ(height->GetPrevious(), width);

  // A name cut to its field is found under the same long name again.
  std::string longName(400, 'q');
  CSettingEntry* cut = settings.AddSetting(longName.c_str());
  EXPECT_EQ(settings.GetSetting(longName.c_str()), cut);
  EXPECT_EQ(settings.AddSetting(longName.c_str()), cut);
}

TEST(SettingsTest, RemovingKeepsTheRestLinked) {
  CSettings settings;
  CSettingEntry* first = settings.AddSetting("a");
  CSettingEntry* second = settings.AddSetting("b");
  CSettingEntry* third = settings.AddSetting("c");

  CSettingEntry stranger("a");
  settings.RemoveSetting(&stranger);  // not in the list: left alone
  EXPECT_EQ(settings.GetFirstSetting(), first);

  settings.RemoveSetting(first);
  EXPECT_EQ(settings.GetFirstSetting(), second);
  EXPECT_EQ(second->GetPrevious(), nullptr);
  EXPECT_EQ(second->GetNext(), third);

  settings.RemoveSetting(third);
  EXPECT_EQ(second->GetNext(), nullptr);
  EXPECT_EQ(settings.GetSetting("c"), nullptr);
}

TEST(OverrideFileTest, ReadsEachKindOfLine) {
  struct Case {
    const char* line;
    const char* name;
    int type;
    int integer;
    float real;
    const char* text;
  } cases[] = {
      {"window_mode = true", "window_mode", CSettingEntry::kInteger, 1, 0, nullptr},
      {"use_logs = false", "use_logs", CSettingEntry::kInteger, 0, 0, nullptr},
      {"Lock_Console = T", "lock_console", CSettingEntry::kInteger, 1, 0, nullptr},
      {"vsync = 2", "vsync", CSettingEntry::kInteger, 2, 0, nullptr},
      {"x = -5", "x", CSettingEntry::kInteger, -5, 0, nullptr},
      {"huge = 99999999999", "huge", CSettingEntry::kInteger, INT_MAX, 0, nullptr},
      {"word = yes", "word", CSettingEntry::kInteger, 0, 0, nullptr},
      {"allocator_page_memory = 20000000.0", "allocator_page_memory", CSettingEntry::kFloat, 0,
       20000000.0f, nullptr},
      {"scale = -0.25", "scale", CSettingEntry::kFloat, 0, -0.25f, nullptr},
      {"half = .5", "half", CSettingEntry::kFloat, 0, 0.5f, nullptr},
      {"kilo = 1e3", "kilo", CSettingEntry::kFloat, 0, 1000.0f, nullptr},
      {"shaders_directory = \"S:\\Shaders Dir\" trailing", "shaders_directory",
       CSettingEntry::kString, 0, 0, "S:\\Shaders Dir"},
      {"empty = \"\"", "empty", CSettingEntry::kString, 0, 0, ""},
      {"crlf = 7\r", "crlf", CSettingEntry::kInteger, 7, 0, nullptr},
      {"  spaced\t=\t3 extra tokens", "spaced", CSettingEntry::kInteger, 3, 0, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    CSettings settings;
    CRecordingEngineLog log;
    LoadOverride(settings, log, std::string(c.line) + "\n");
    CSettingEntry* entry = settings.GetSetting(c.name);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->GetType(), c.type);
    EXPECT_EQ(entry->GetInt(), c.integer);
    EXPECT_EQ(entry->GetFloat(), c.real);
    if (c.text) {
      EXPECT_STREQ(entry->GetString(), c.text);
    }
    EXPECT_EQ(entry->GetNext(), nullptr) << "one setting expected";
  }
}

TEST(OverrideFileTest, SkipsLinesThatDoNotMatch) {
  const char* lines[] = {"just words", "a b c", "k =", "= 5", "name = \"unterminated",
                         "# comment",  ""};
  for (const char* line : lines) {
    CSettings settings;
    CRecordingEngineLog log;
    LoadOverride(settings, log, std::string(line) + "\n");
    EXPECT_EQ(settings.GetFirstSetting(), nullptr) << line;
  }
}

TEST(OverrideFileTest, ALaterLineOfTheSameNameOverridesAndEveryValueIsLogged) {
  CSettings settings;
  CRecordingEngineLog log;
  TempDir folder;
  folder.Write("override.zk", "Width = 1024\r\nWIDTH = 800\r\nscale = 1.5\r\ndir = \"S:\"\r\n");
  settings.LoadOverrideFile(folder.Path().c_str(), &log);

  CSettingEntry* width = settings.GetSetting("width");
  ASSERT_NE(width, nullptr);
  EXPECT_EQ(width->GetInt(), 800);
  EXPECT_EQ(settings.GetFirstSetting(), width);
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelInfo),
            "- Loading Override File (override.zk) From: " + folder.Path() +
                "\n"
                "  - Settings Found:\n"
                "    - width: 800\n"
                "    - scale: 1.500000\n"
                "    - dir: S:\n");
}

TEST(OverrideFileTest, AnOverLongLineKeepsItsStartAndItsRestIsNoLineOfItsOwn) {
  CSettings settings;
  CRecordingEngineLog log;
  std::string longLine = "long = 9 " + std::string(300, 'x') + " tail = 4";
  std::string exact = "exact = 5" + std::string(255 - 9, ' ');
  LoadOverride(settings, log, longLine + "\n" + exact + "\nafter = 3\n");

  ASSERT_NE(settings.GetSetting("long"), nullptr);
  EXPECT_EQ(settings.GetSetting("long")->GetInt(), 9);
  EXPECT_EQ(settings.GetSetting("tail"), nullptr);
  ASSERT_NE(settings.GetSetting("exact"), nullptr);
  ASSERT_NE(settings.GetSetting("after"), nullptr);
  EXPECT_EQ(settings.GetSetting("after")->GetInt(), 3);
  EXPECT_EQ(
      log.TextAt(CEngineLog::kLevelError),
      "WARNING!!! - Override File Line 1 Is Longer Than 255 Characters, The Rest Is Ignored\n");
}

TEST(OverrideFileTest, AMissingFileIsLoggedAndChangesNothing) {
  CSettings settings;
  settings.AddSetting("shadows")->SetInt(1);
  CRecordingEngineLog log;
  TempDir folder;
  settings.LoadOverrideFile(folder.Path().c_str(), &log);
  EXPECT_EQ(settings.GetSetting("shadows")->GetInt(), 1);
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelInfo), "- Loading Override File (override.zk) From: " +
                                                    folder.Path() + "\n  - no file found\n");
}

TEST(SettingsInterfaceTest, TheGameAddsAndSetsThroughTheInterfacesOnly) {
  CSettings settings;
  CSettingsInterface& seen = settings;
  CSettingEntryInterface* shadows = seen.AddSetting("shadows");
  ASSERT_NE(shadows, nullptr);
  shadows->SetInt(0);
  EXPECT_EQ(seen.AddSetting("shadows"), shadows) << "a second add finds the same entry";
  EXPECT_EQ(shadows->GetType(), CSettingEntryInterface::kInteger);
  EXPECT_EQ(settings.GetSetting("shadows")->GetInt(), 0);
  EXPECT_EQ(seen.AddSetting(nullptr), nullptr);
}
