// Files, the file system, the page allocator and timers as scripts drive them: loose files and
// archive members of a real virtual file system in the test's own folder, lines read whole,
// reads and writes held to the script's array, and timers on the test clock.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "RecordingAllocator.h"
#include "ScriptBindingsFixture.h"
#include "TempDir.h"
#include "WorkingFolderScope.h"
#include "ZkzWriter.h"
#include "core/PageAllocator.h"
#include "core/Timer.h"
#include "script/bstr.h"
#include "vfs/VirtualFileSystem.h"
#include "zktest/ZkTestClock.h"

using namespace AngelScript;

namespace {

class FileBindingsTest : public ScriptBindingsTest {
 protected:
  void SetUp() override {
    ScriptBindingsTest::SetUp();
    ASSERT_TRUE(working.Entered());
    ASSERT_GE(script.engine->RegisterGlobalProperty("CVirtualFileSystemInterface@ g_files",
                                                    &filesHandle),
              0);
  }

  // Runs `code`, which opens "name" as `f` first, and returns its uint result.
  UINT OnFile(const std::string& name, const std::string& code) {
    return script.Eval<asUINT>("uint", "VFSFile@ f = g_files.OpenNormalFile(\"" + name +
                                           "\", \"rb\");" + code);
  }
  bstr TextOnFile(const std::string& name, const std::string& code) {
    return script.Eval<bstr>("bstr", "VFSFile@ f = g_files.OpenNormalFile(\"" + name +
                                         "\", \"rb\");" + code);
  }

  TempDir folder;
  WorkingFolderScope working{folder.Path()};
  CRecordingAllocator allocator;
  CVirtualFileSystem files{&log, &allocator, nullptr};
  CVirtualFileSystemInterface* filesHandle = &files;
};

TEST_F(FileBindingsTest, LinesComeWholeWhateverTheirEndingAndLength) {
  const std::string longLine(10000, 'x');
  folder.Write("lines.txt", "first\nsecond\r\n" + longLine + "\nlast");
  struct Case {
    const char* what;
    std::string code;  // after `f` is open
    bstr expected;
  };
  const Case cases[] = {
      {"LF", "return f.Gets();", "first\n"},
      {"CR-LF", "f.Gets(); return f.Gets();", "second\n"},
      {"10 000 characters", "f.Gets(); f.Gets(); return f.Gets();", longLine + "\n"},
      {"unterminated", "f.Gets(); f.Gets(); f.Gets(); return f.Gets();", "last"},
      {"at the end", "f.Gets(); f.Gets(); f.Gets(); f.Gets(); return f.Gets();", ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(TextOnFile("lines.txt", c.code + ""), c.expected) << c.what;
  EXPECT_EQ(OnFile("lines.txt", "f.Gets(); return f.Getc();"), unsigned('s'));
}

TEST_F(FileBindingsTest, SeekTakesAnOffsetAndAnOrigin) {
  folder.Write("digits.txt", "0123456789");
  struct Case {
    const char* seek;
    UINT expected;  // the byte read next
  };
  const Case cases[] = {{"f.Seek(3, 0);", '3'}, {"f.Seek(2, 0); f.Seek(4, 1);", '6'},
                        {"f.Seek(-2, 2);", '8'}};
  for (const Case& c : cases)
    EXPECT_EQ(OnFile("digits.txt", std::string(c.seek) + "return f.Getc();"), c.expected) << c.seek;
  EXPECT_EQ(OnFile("digits.txt", "f.Seek(-2, 2); return f.Tell();"), 8u);
}

TEST_F(FileBindingsTest, ReadsAndWritesStayInsideTheScriptsArray) {
  folder.Write("data.bin", "abcdefgh");
  EXPECT_EQ(OnFile("data.bin", "array<uint8> b(8); uint n = f.Read(b, 2, 3);"
                               "return n * 1000 + b[0] * 0 + b[5];"),
            3u * 1000 + 'f');
  // Size × count past the array (also where the product overflows 32 bits) stops the script.
  for (const char* call : {"f.Read(b, 3, 3);", "f.Read(b, 0x10000, 0x10000);", "f.Read(null, 1, 1);",
                           "f.Write(b, 1, 9);"}) {
    EXPECT_EQ(script.Run(std::string("VFSFile@ f = g_files.OpenNormalFile(\"data.bin\", \"rb\");"
                                     "array<uint8> b(8);") +
                         call),
              asEXECUTION_EXCEPTION)
        << call;
    EXPECT_EQ(script.Exception(), "Array Shorter Than Its Count") << call;
  }
  EXPECT_EQ(OnFile("data.bin", "array<uint8> b; return f.Read(b, 0, 5);"), 0u);
}

TEST_F(FileBindingsTest, MembersHandOutCopiesAndRefuseWrites) {
  ZkzWriter().Add("member.txt", "packed").Write(folder / "disk.zkz");
  folder.Write("loose.txt", "loose");
  EXPECT_EQ(script.Eval<asUINT>("uint",
                                "return g_files.AddVirtualDisk(\"disk.zkz\", 0, 0, 0, \"\");"),
            0u);
  // "packed": six bytes from 'p'; the script's copy changes nothing of the member.
  EXPECT_EQ(OnFile("member.txt", "array<uint8>@ b = f.GetFileBuffer(); uint first = b[0]; b[0] = 0;"
                                 "return b.length() * 1000 + first;"),
            6u * 1000 + 'p');
  EXPECT_EQ(OnFile("member.txt", "array<uint8>@ b = f.GetFileBuffer(); b[0] = 0;"
                                 "return f.GetFileBuffer()[0];"),
            unsigned('p'));
  EXPECT_EQ(TextOnFile("member.txt", "return f.GetFileName();"), "member.txt");
  EXPECT_EQ(OnFile("member.txt", "array<uint8> b = {1, 2}; return f.Write(b, 1, 2);"), 0u);
  EXPECT_EQ(OnFile("loose.txt", "return f.GetFileBuffer() is null ? 1 : 0;"), 1u);
  EXPECT_EQ(OnFile("member.txt", "return f.GetFileSource();"), UINT(VFS_SOURCE_ARCHIVE));
  EXPECT_EQ(script.Eval<void*>("VFSFile@", "return g_files.OpenNormalFile(\"absent.txt\", \"rb\");"),
            nullptr);
  EXPECT_EQ(script.Eval<asUINT>("uint", "return g_files.LocateNormalFile(\"absent.txt\");"),
            VFS_NOT_FOUND);
}

TEST_F(FileBindingsTest, TheAllocatorHandsOutBlocksScriptsGiveBack) {
  std::unique_ptr<CPageAllocator> page(CPageAllocator::Create(&log, 4096, 16, nullptr));
  ASSERT_NE(page, nullptr);
  ZKAllocatorInterface* handle = page.get();
  ASSERT_GE(script.engine->RegisterGlobalProperty("ZKAllocatorInterface@ g_memory", &handle), 0);
  EXPECT_EQ(script.Eval<asUINT>("uint", "VoidPtr p = g_memory.AllocateMemory(64);"
                                        "uint first = g_memory.DeleteMemory(p);"
                                        "return first * 10 + g_memory.DeleteMemory(p);"),
            10u);
  EXPECT_EQ(script.Eval<asUINT>("uint", "VoidPtr p = g_memory.AllocateMemory(100000);"
                                        "return p == VoidPtr() ? 1 : 0;"),
            1u);
}

TEST_F(FileBindingsTest, TimersRunApartOnTheClock) {
  ZkTestClockSetManual(1'000'000);
  CTimer first, second;
  CTimerInterface* handles[2] = {&first, &second};
  ASSERT_GE(script.engine->RegisterGlobalProperty("CTimerInterface@ g_first", &handles[0]), 0);
  ASSERT_GE(script.engine->RegisterGlobalProperty("CTimerInterface@ g_second", &handles[1]), 0);
  ZkTestClockAdvance(500'000);
  // The landed timer counts a pause from its last reading.
  EXPECT_EQ(script.Eval<asUINT>("uint", "g_second.GetTime(); g_second.Pause();"
                                        "return g_second.IsPaused();"),
            1u);
  ZkTestClockAdvance(1'500'000);
  EXPECT_FLOAT_EQ(script.Eval<float>("float", "return g_first.GetTime();"), 2.0f);
  EXPECT_FLOAT_EQ(script.Eval<float>("float", "return g_second.GetTime();"), 0.5f);
  EXPECT_FLOAT_EQ(script.Eval<float>("float", "g_first.Reset(); g_second.Resume();"
                                              "return g_first.GetTime() + g_second.GetTime();"),
                  0.5f);
  EXPECT_FLOAT_EQ(script.Eval<float>("float", "return g_first.GetTickingPerSecond();"), 1000.0f);
  ZkTestClockSetReal();
}

}  // namespace
