#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "ScopedEnvironment.h"
#include "TempDir.h"
#include "shlobj.h"
#include "windows.h"
#include "zktest/ZkTestMedia.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

TEST(ShellTest, FoldersFollowTheXdgBaseDirectories) {
  TempDir dir;
  ScopedEnvironment env;
  env.Set("HOME", dir / "home");
  env.Set("XDG_DATA_HOME", dir / "data");
  env.Set("XDG_CONFIG_HOME", dir / "config");
  std::filesystem::create_directories(dir / "home");
  char path[MAX_PATH];

  // A missing folder is found only when it may be created.
  EXPECT_EQ(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path),
            HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
  ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, path),
            S_OK);
  EXPECT_EQ(std::string(path), dir / "data");
  EXPECT_TRUE(std::filesystem::is_directory(dir / "data"));
  ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, path), S_OK);
  EXPECT_EQ(std::string(path), dir / "config");

  // Documents: the user's documents folder when the config folder names one, else home.
  ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, 0, path), S_OK);
  EXPECT_EQ(std::string(path), dir / "home");
  dir.Write("config/user-dirs.dirs", "# comment\nXDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
  ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_PERSONAL | CSIDL_FLAG_CREATE, nullptr, 0, path), S_OK);
  EXPECT_EQ(std::string(path), dir / "home/Dokumente");

  // A relative or empty variable does not count: the default under home applies.
  env.Set("XDG_DATA_HOME", "relative/data");
  ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, path),
            S_OK);
  EXPECT_EQ(std::string(path), dir / "home/.local/share");
  env.Set("XDG_CONFIG_HOME", "");
  ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, path), S_OK);
  EXPECT_EQ(std::string(path), dir / "home/.config");

  // Too long for the caller's buffer, and a folder that is not offered.
  env.Set("XDG_DATA_HOME", dir / std::string(MAX_PATH, 'x'));
  EXPECT_EQ(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, path),
            E_FAIL);
  EXPECT_EQ(path[0], '\0');
  EXPECT_EQ(SHGetFolderPathA(nullptr, 0x0024 /* windows folder */, nullptr, 0, path), E_INVALIDARG);
}

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { m_env.Set("XDG_CONFIG_HOME", m_dir.Path()); }
  std::string RegistryFile() const { return m_dir / "zkplatform/registry"; }

  TempDir m_dir;
  ScopedEnvironment m_env;
};

TEST_F(RegistryTest, ValuesAreWrittenAndReadBackAcrossOpens) {
  const std::string binary("\0\n%=[]\xFF\r", 8);
  const std::string oddName = "a=b [c] \xC3\xA9";
  const DWORD number = 0xDEADBEEF;
  HKEY key = nullptr;
  DWORD disposition = 0;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr,
                            REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
  // As the wallpaper setter stores them: one byte, no terminator.
  ASSERT_EQ(RegSetValueExA(key, "TileWallpaper", 0, REG_SZ, reinterpret_cast<const BYTE*>("0"), 1),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(key, "WallpaperStyle", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 1),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(key, oddName.c_str(), 0, REG_BINARY,
                           reinterpret_cast<const BYTE*>(binary.data()),
                           static_cast<DWORD>(binary.size())),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(key, "Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(key, "NUMBER", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4),
            ERROR_SUCCESS);
  ASSERT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_TRUE(std::filesystem::exists(RegistryFile()));

  // Opened again, in another letter case.
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "control panel\\DESKTOP", 0, KEY_READ, &key),
            ERROR_SUCCESS);
  const struct {
    std::string name;
    DWORD type;
    std::string data;
  } cases[] = {
      {"tilewallpaper", REG_SZ, "0"},
      {"WallpaperStyle", REG_SZ, "1"},
      {oddName, REG_BINARY, binary},
      {"Number", REG_DWORD, std::string(reinterpret_cast<const char*>(&number), 4)},
  };
  for (const auto& c : cases) {
    DWORD type = 0, size = 0;
    ASSERT_EQ(RegQueryValueExA(key, c.name.c_str(), nullptr, &type, nullptr, &size), ERROR_SUCCESS)
        << c.name;
    EXPECT_EQ(type, c.type) << c.name;
    ASSERT_EQ(size, c.data.size()) << c.name;
    std::string data(size, '?');
    ASSERT_EQ(RegQueryValueExA(key, c.name.c_str(), nullptr, nullptr,
                               reinterpret_cast<BYTE*>(data.data()), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(data, c.data) << c.name;
  }
  const std::string file = ReadFile(RegistryFile());
  ASSERT_NE(file.find("Number="), std::string::npos) << file;
  EXPECT_EQ(file.find("Number="), file.rfind("Number=")) << "set twice: replaced, not added\n"
                                                         << file;
  EXPECT_EQ(file.find("NUMBER="), std::string::npos) << "keeps the name it was made with\n" << file;
  RegCloseKey(key);

  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_READ,
                            nullptr, &key, &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
  RegCloseKey(key);
  // The key above was made with it.
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel", 0, KEY_READ, &key), ERROR_SUCCESS);
  RegCloseKey(key);
}

TEST_F(RegistryTest, MisuseGetsItsErrorCode) {
  HKEY key = reinterpret_cast<HKEY>(1);
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Missing", 0, KEY_READ, &key),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(key, nullptr);
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Game", 0, nullptr, 0, KEY_READ, nullptr,
                            &key, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExA(key, "v", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2),
            ERROR_ACCESS_DENIED);
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueExA(key, "v", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
  RegCloseKey(key);

  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Game", 0, KEY_WRITE, &key), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(key, "v", 0, REG_SZ, reinterpret_cast<const BYTE*>("hello"), 6),
            ERROR_SUCCESS);
  EXPECT_EQ(RegQueryValueExA(key, "v", nullptr, nullptr, nullptr, &size), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegSetValueExA(key, "v", 0, REG_SZ, nullptr, 6), ERROR_INVALID_PARAMETER);
  RegCloseKey(key);

  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Game", 0, KEY_READ, &key), ERROR_SUCCESS);
  char small[3] = {};
  size = sizeof small;
  EXPECT_EQ(RegQueryValueExA(key, "v", nullptr, nullptr, reinterpret_cast<BYTE*>(small), &size),
            ERROR_MORE_DATA);
  EXPECT_EQ(size, 6u) << "the size needed";
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegQueryValueExA(key, "v", nullptr, nullptr, nullptr, &size), ERROR_INVALID_HANDLE);
}

TEST_F(RegistryTest, DamagedLinesAreKeptAndTheRestStillReads) {
  m_dir.Write("zkplatform/registry",
              "stray line before any "
              "key\n[HKEY_CURRENT_USER\\A]\nkept=1:ok\nbroken=x:%G1\n[unterminated\n");
  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "A", 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
  char data[8] = {};
  DWORD size = sizeof data;
  ASSERT_EQ(RegQueryValueExA(key, "kept", nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size),
            ERROR_SUCCESS);
  EXPECT_EQ(std::string(data, size), "ok");
  ASSERT_EQ(RegSetValueExA(key, "added", 0, REG_SZ, reinterpret_cast<const BYTE*>("new"), 3),
            ERROR_SUCCESS);
  RegCloseKey(key);
  const std::string file = ReadFile(RegistryFile());
  for (const char* line :
       {"stray line before any key", "broken=x:%G1", "[unterminated", "kept=1:ok", "added=1:new"})
    EXPECT_NE(file.find(line), std::string::npos) << line << " in\n" << file;
}

TEST_F(RegistryTest, WallpaperIsRecordedNotApplied) {
  ZkTestResetWallpaper();
  EXPECT_STREQ(ZkTestLastWallpaper(), "");
  std::string wallpaper = m_dir / "CyberPelto/wall.bmp";
  ASSERT_TRUE(SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, wallpaper.data(),
                                    SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE));
  EXPECT_EQ(std::string(ZkTestLastWallpaper()), wallpaper);
  char current[MAX_PATH] = {};
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETDESKWALLPAPER, sizeof current, current, 0));
  EXPECT_EQ(std::string(current), wallpaper);
  // Kept where Windows keeps it.
  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_READ, &key),
            ERROR_SUCCESS);
  DWORD size = sizeof current;
  ASSERT_EQ(
      RegQueryValueExA(key, "Wallpaper", nullptr, nullptr, reinterpret_cast<BYTE*>(current), &size),
      ERROR_SUCCESS);
  EXPECT_EQ(std::string(current), wallpaper);
  RegCloseKey(key);
  EXPECT_FALSE(SystemParametersInfoA(0x0001 /* SPI_GETBEEP */, 0, nullptr, 0));
  ZkTestResetWallpaper();
}

TEST(ShellTest, ActiveDesktopCannotBeCreated) {
  EXPECT_EQ(CoInitialize(nullptr), S_OK);
  EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
  IActiveDesktop* desktop = reinterpret_cast<IActiveDesktop*>(1);
  EXPECT_EQ(CoCreateInstance(CLSID_ActiveDesktop, nullptr, CLSCTX_INPROC_SERVER, IID_IActiveDesktop,
                             reinterpret_cast<void**>(&desktop)),
            REGDB_E_CLASSNOTREG);
  EXPECT_EQ(desktop, nullptr);
  EXPECT_EQ(CoCreateInstance(CLSID_ActiveDesktop, nullptr, CLSCTX_INPROC_SERVER, IID_IActiveDesktop,
                             nullptr),
            E_POINTER);
  CoUninitialize();
  CoUninitialize();
}

}  // namespace
