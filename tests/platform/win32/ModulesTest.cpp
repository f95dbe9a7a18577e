#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "TempDir.h"
#include "windows.h"
#include "zkplatform/ZkPaths.h"

namespace {

typedef int (*AnswerFunction)();

bool EndsWith(const std::string& text, const std::string& ending) {
  return text.size() >= ending.size() &&
         text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

std::string ModuleFileName(HMODULE module) {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(module, path, sizeof(path));
  return std::string(path, length);
}

TEST(ModulesTest, LoadsByWindowsNameInAnyCaseAndFindsTheExport) {
  for (const char* name : {"ZkTestModule.dll", "zktestmodule.DLL", "ZkTestModule"}) {
    HMODULE module = LoadLibraryA(name);
    ASSERT_NE(module, nullptr) << name;
    auto answer = reinterpret_cast<AnswerFunction>(GetProcAddress(module, "ZkTestModuleAnswer"));
    ASSERT_NE(answer, nullptr) << name;
    EXPECT_EQ(answer(), 42);
    EXPECT_TRUE(EndsWith(ModuleFileName(module), "/libZkTestModule.so")) << ModuleFileName(module);
    EXPECT_EQ(GetModuleHandleA("ZkTestModule.dll"), module);
    EXPECT_TRUE(FreeLibrary(module));
  }
}

TEST(ModulesTest, MissingLibraryExportAndHandleAreErrors) {
  EXPECT_EQ(LoadLibraryA("ZKTool.dll"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  EXPECT_EQ(GetModuleHandleA("ZKTool.dll"), nullptr);

  HMODULE module = LoadLibraryA("ZkTestModule.dll");
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(GetProcAddress(module, "GetToolVersion"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
  EXPECT_EQ(GetProcAddress(module, MAKEINTRESOURCEA(92)), nullptr);
  EXPECT_TRUE(FreeLibrary(module));
  EXPECT_FALSE(FreeLibrary(module));  // one load, one free
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));

  int notAModule = 0;
  EXPECT_EQ(GetProcAddress(reinterpret_cast<HMODULE>(&notAModule), "x"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(ModulesTest, NameWithAFolderIsLookedForThereAndABrokenFileSaysWhy) {
  TempDir dir;
  dir.Write("Tools/libBroken.so", "not a shared object");
  testing::internal::CaptureStderr();
  EXPECT_EQ(LoadLibraryA((dir.Path() + "\\TOOLS\\broken.dll").c_str()), nullptr);
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BAD_EXE_FORMAT));
  EXPECT_NE(said.find("broken.dll"), std::string::npos) << said;
  // A folder is searched alone: the program's folder is not tried for it.
  EXPECT_EQ(LoadLibraryA((dir.Path() + "\\Tools\\ZkTestModule.dll").c_str()), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

TEST(ModulesTest, LooksInTheCurrentFolderAfterTheProgramsFolder) {
  TempDir dir;
  std::filesystem::copy_file(ZkProgramFolder() + "/libZkTestModule.so",
                             dir / "libCurrentFolderModule.so");
  EXPECT_EQ(LoadLibraryA("CurrentFolderModule.dll"), nullptr);
  char previous[MAX_PATH];
  ASSERT_GT(GetCurrentDirectoryA(sizeof(previous), previous), 0u);
  ASSERT_TRUE(SetCurrentDirectoryA(dir.Path().c_str()));
  HMODULE module = LoadLibraryA("currentfoldermodule.dll");
  SetCurrentDirectoryA(previous);
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(ModuleFileName(module),
            std::filesystem::canonical(dir / "libCurrentFolderModule.so").string());
  FreeLibrary(module);
}

TEST(ModulesTest, ModuleOfAFunctionGivesItsFileAndFolder) {
  HMODULE platform = nullptr;
  ASSERT_TRUE(GetModuleHandleExA(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCSTR>(&CloseHandle), &platform));
  EXPECT_TRUE(EndsWith(ModuleFileName(platform), "/bin/libzkplatform.so"))
      << ModuleFileName(platform);

  HMODULE module = LoadLibraryA("ZkTestModule.dll");
  FARPROC answer = GetProcAddress(module, "ZkTestModuleAnswer");
  HMODULE found = nullptr;
  ASSERT_TRUE(GetModuleHandleExA(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCSTR>(answer), &found));
  EXPECT_EQ(found, module);
  FreeLibrary(module);

  // The program itself: null, or an address inside it.
  HMODULE program = nullptr;
  ASSERT_TRUE(GetModuleHandleExA(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCSTR>(&ModuleFileName), &program));
  EXPECT_EQ(program, GetModuleHandleA(nullptr));
  EXPECT_EQ(ModuleFileName(nullptr), ZkProgramFolder() + "/platform_win32_tests");
}

TEST(ModulesTest, FileNameIsCutButTerminatedWhenTheBufferIsSmall) {
  char small[8];
  std::memset(small, 'x', sizeof(small));
  EXPECT_EQ(GetModuleFileNameA(nullptr, small, sizeof(small)), sizeof(small));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(small[sizeof(small) - 1], '\0');
  EXPECT_EQ(std::string(small), ModuleFileName(nullptr).substr(0, sizeof(small) - 1));
}

}  // namespace
