// The RAR back end over the platform's RAR library: RAR 4, RAR 5 and ZIP archives made by the
// tests, unpacked into memory at mount time.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>

#include "Rar4Writer.h"
#include "Rar5Writer.h"
#include "RecordingEngineLog.h"
#include "TempDir.h"
#include "ZipWriter.h"
#include "vfs/RarDisk.h"

namespace {

// Holds the process's address space to what it maps now plus `extra` bytes while it lives, so
// that asking for gigabytes fails at once instead of being granted lazily.
class AddressSpaceBudget {
 public:
  explicit AddressSpaceBudget(rlim_t extra) {
    getrlimit(RLIMIT_AS, &m_saved);
    rlimit limit = m_saved;
    limit.rlim_cur = std::min<rlim_t>(Mapped() + extra, m_saved.rlim_max);
    setrlimit(RLIMIT_AS, &limit);
  }
  ~AddressSpaceBudget() { setrlimit(RLIMIT_AS, &m_saved); }
  AddressSpaceBudget(const AddressSpaceBudget&) = delete;
  AddressSpaceBudget& operator=(const AddressSpaceBudget&) = delete;

 private:
  static rlim_t Mapped() {
    unsigned long pages = 0;
    if (FILE* statm = fopen("/proc/self/statm", "r")) {
      if (fscanf(statm, "%lu", &pages) != 1) pages = 0;
      fclose(statm);
    }
    return rlim_t(pages) * rlim_t(sysconf(_SC_PAGESIZE));
  }

  rlimit m_saved{};
};

// 38 bytes of ZIP: one member header without data, whose member claims 4,294,918,400 unpacked
// bytes, and the signature that ends the members.
std::string HugeClaimZip() {
  std::string zip = "PK\x03\x04";
  auto u16 = [&](uint16_t v) {
    zip += char(v & 0xFF);
    zip += char(v >> 8);
  };
  auto u32 = [&](uint32_t v) {
    u16(uint16_t(v));
    u16(uint16_t(v >> 16));
  };
  u16(20);          // version needed
  u16(0);           // flags
  u16(0);           // stored
  u16(0);           // time
  u16(0);           // date
  u32(0);           // CRC
  u32(0);           // packed size
  u32(0xFFFF4100);  // unpacked size
  u16(4);           // name length
  u16(0);           // extra field length
  return zip + "huge" + "PK\x05\x06";
}

class RarDiskTest : public ::testing::Test {
 protected:
  bool Mount(const char* password = nullptr) {
    log.entries.clear();
    disk = std::make_unique<CRarDisk>(&log, path.c_str(), VFS_DISK_SHADER, password);
    return disk->Mount();
  }
  std::string Member(const char* name) {
    int index = disk->FindFile(name);
    if (index < 0) return "<missing>";
    return std::string(reinterpret_cast<char*>(disk->GetFileData(UINT(index))),
                       disk->GetFileLength(UINT(index)));
  }
  std::string Errors() const { return log.TextAt(CEngineLog::kLevelError); }

  TempDir folder;
  std::string path = folder / "data.zkr";
  CRecordingEngineLog log;
  std::unique_ptr<CRarDisk> disk;
};

TEST_F(RarDiskTest, EveryFormatOfThePlatformMountsWithLoweredNames) {
  const std::string big(70000, 'b');
  struct Case {
    const char* format;
    std::function<void(const std::string&)> write;
    const char* password;
  };
  const Case cases[] = {
      {"RAR 4",
       [&](const std::string& p) {
         Rar4Writer().Add("Scenes\\Level1.ZKS", "level").Add("big.bin", big).Write(p);
       },
       nullptr},
      {"RAR 5",
       [&](const std::string& p) {
         Rar5Writer().Add("Scenes/Level1.ZKS", "level").Add("big.bin", big).Write(p);
       },
       nullptr},
      {"ZIP",
       [&](const std::string& p) {
         ZipWriter().Add("Scenes/Level1.ZKS", "level").Add("big.bin", big).Write(p);
       },
       nullptr},
      {"ZIP with a password",
       [&](const std::string& p) {
         ZipWriter("secret").Add("Scenes/Level1.ZKS", "level").Add("big.bin", big).Write(p);
       },
       "secret"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.format);
    c.write(path);
    ASSERT_TRUE(Mount(c.password)) << Errors();
    EXPECT_EQ(Errors(), "- Archive " + path + " Contains 2 Files\n");
    EXPECT_EQ(disk->GetArchiveType(), VFS_ARCHIVE_RAR);
    EXPECT_EQ(disk->GetDiskKind(), VFS_DISK_SHADER);
    EXPECT_EQ(disk->GetNumberOfFiles(), 2u);
    EXPECT_STREQ(disk->GetFileName(0), "scenes\\level1.zks");
    EXPECT_EQ(disk->FindFile("SCENES\\LEVEL1.ZKS"), 0);
    EXPECT_EQ(Member("scenes\\level1.zks"), "level");
    EXPECT_EQ(Member("big.bin"), big);
    EXPECT_EQ(disk->GetFileLength(1), big.size());
    EXPECT_EQ(disk->FindFile("missing"), -1);
  }
}

TEST_F(RarDiskTest, MembersStayWithTheDisk) {
  Rar4Writer().Add("a.txt", "alpha").Write(path);
  ASSERT_TRUE(Mount());
  BYTE* data = disk->GetFileData(0);
  EXPECT_EQ(disk->ReleaseFileData(data), 1u);
  EXPECT_EQ(disk->GetFileData(0), data);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(data), 5), "alpha");
  EXPECT_EQ(disk->GetFileData(1), nullptr);
  EXPECT_EQ(disk->GetFileName(1), nullptr);
}

TEST_F(RarDiskTest, AnEmptyArchiveMountsWithNoMembers) {
  Rar4Writer().Write(path);
  ASSERT_TRUE(Mount());
  EXPECT_EQ(disk->GetNumberOfFiles(), 0u);
  EXPECT_EQ(Errors(), "- Archive " + path + " Contains 0 Files\n");
}

TEST_F(RarDiskTest, UnreadableArchivesAreRefusedWithTheirReason) {
  std::string rar = Rar4Writer().Add("a.txt", "alpha contents").Add("b.txt", "beta").Bytes();
  std::string damaged = rar;
  damaged[damaged.find("alpha contents")] ^= 0x20;
  struct Case {
    const char* what;
    std::function<void()> write;
    const char* password;
    std::string errors;
  };
  const std::string counted = "- Archive " + path + " Contains 2 Files\n";
  const Case cases[] = {
      {"missing file", [&] { remove(path.c_str()); }, nullptr,
       "ERROR! - Can't Open Archive: " + path + "\n"},
      {"not an archive", [&] { folder.Write("data.zkr", "plain text, no archive"); }, nullptr,
       "ERROR! - Can't Open Archive: " + path + "\n"},
      {"damaged member", [&] { folder.Write("data.zkr", damaged); }, nullptr,
       counted + "ERROR! - Error When Unpacking: " + path + "\n"},
      {"wrong password",
       [&] { ZipWriter("secret").Add("a.txt", "alpha").Add("b.txt", "beta").Write(path); }, "guess",
       counted + "ERROR! - Size Mismatch: " + path + " - a.txt\n"},
      {"no password",
       [&] { ZipWriter("secret").Add("a.txt", "alpha").Add("b.txt", "b").Write(path); }, nullptr,
       counted + "ERROR! - Size Mismatch: " + path + " - a.txt\n"},
      {"member claiming gigabytes", [&] { folder.Write("data.zkr", HugeClaimZip()); }, nullptr,
       "- Archive " + path + " Contains 1 Files\n" + "ERROR! - Size Mismatch: " + path +
           " - huge\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.write();
    // A claimed size is no reason to take memory: only data that really arrives is kept.
    AddressSpaceBudget budget(rlim_t{512} << 20);
    EXPECT_FALSE(Mount(c.password));
    EXPECT_EQ(Errors(), c.errors);
    EXPECT_EQ(disk->GetNumberOfFiles(), 0u);
  }
}

TEST_F(RarDiskTest, ATruncatedArchiveIsRefused) {
  std::string rar = Rar5Writer().Add("a.txt", std::string(5000, 'a')).Bytes();
  folder.Write("data.zkr", rar.substr(0, rar.size() / 2));
  EXPECT_FALSE(Mount());
  // Skipping the cut member in the counting pass fails.
  EXPECT_EQ(Errors(), "ERROR! - Error When Unpacking: " + path + "  (12)\n");
  EXPECT_EQ(disk->GetNumberOfFiles(), 0u);
}

}  // namespace
