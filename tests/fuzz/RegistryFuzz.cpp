// The registry's key-value file, through the registry calls (each reads the file, and a change
// writes it back): the input is the file, the key is the first one it names (or the desktop
// key the game uses). A value that was set must read back as it was set, whatever the rest of
// the file holds.
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "FuzzHarness.h"
#include "windows.h"

namespace {

constexpr char kKeyStart[] = "[HKEY_CURRENT_USER\\";

std::string FirstKey(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const size_t start = text.find(kKeyStart);
  if (start == std::string::npos) return "Control Panel\\Desktop";
  const size_t name = start + std::strlen(kKeyStart);
  const size_t end = text.find_first_of("]\n", name);
  return text.substr(name, end == std::string::npos ? std::string::npos : end - name);
}

void QueryValue(HKEY key, const char* name) {
  BYTE small[8];
  DWORD type = 0, size = sizeof small;
  if (RegQueryValueExA(key, name, nullptr, &type, small, &size) != ERROR_MORE_DATA) return;
  std::string whole(size, '\0');
  RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(whole.data()), &size);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzHarness& harness = FuzzHarness::Instance();
  static const bool folderMade =
      mkdir((harness.Folder() + "/zkplatform").c_str(), 0755) == 0 || errno == EEXIST;
  if (!folderMade) std::abort();
  harness.WriteFile("zkplatform/registry", data, size);
  harness.Run([&] {
    const std::string subKey = FirstKey(data, size);
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, subKey.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
      QueryValue(key, "Wallpaper");
      QueryValue(key, "TileWallpaper");
      QueryValue(key, "");
      RegCloseKey(key);
    }
    if (RegCreateKeyExA(HKEY_CURRENT_USER, subKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
      return;
    static const BYTE kSet[] = "C:\\Pictures\\[one]=%20 two\r\n";
    if (RegSetValueExA(key, "Fuzz=Value", 0, REG_SZ, kSet, sizeof kSet) == ERROR_SUCCESS) {
      BYTE back[sizeof kSet + 8] = {};
      DWORD type = 0, length = sizeof back;
      if (RegQueryValueExA(key, "Fuzz=Value", nullptr, &type, back, &length) != ERROR_SUCCESS ||
          type != REG_SZ || length != sizeof kSet || std::memcmp(back, kSet, sizeof kSet) != 0)
        std::abort();
    }
    RegCloseKey(key);
  });
  return 0;
}
