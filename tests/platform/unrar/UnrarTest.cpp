#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Rar4Writer.h"
#include "Rar5Writer.h"
#include "TempDir.h"
#include "ZipWriter.h"
#include "unrar.h"

namespace {

// What the callback saw, and the password it answers with (empty: it has none).
struct CallbackState {
  std::string password;
  std::string data;
  int passwordRequests = 0;
  bool cancel = false;
};

int CALLBACK Callback(UINT msg, LPARAM userData, LPARAM p1, LPARAM p2) {
  auto* state = reinterpret_cast<CallbackState*>(userData);
  if (msg == UCM_PROCESSDATA) {
    if (state->cancel) return -1;
    state->data.append(reinterpret_cast<const char*>(p1), static_cast<size_t>(p2));
  } else if (msg == UCM_NEEDPASSWORD) {
    ++state->passwordRequests;
    snprintf(reinterpret_cast<char*>(p1), static_cast<size_t>(p2), "%s", state->password.c_str());
  }
  return 0;
}

struct Member {
  std::string name;
  UINT packSize;
  UINT unpSize;
  UINT flags;
  UINT fileTime;
  int processResult;
  std::string data;
};

struct Walk {
  int openResult = -1;
  std::vector<Member> members;
  int endResult = -1;  // what RARReadHeader gave last
  int passwordRequests = 0;
};

// Walks an archive as the engine's archive disk does: every header, then skip or test.
Walk WalkArchive(const std::string& path, UINT mode, const std::string& password = "") {
  Walk walk;
  RAROpenArchiveDataEx open{};
  std::string name = path;
  open.ArcName = name.data();
  open.OpenMode = mode;
  HANDLE handle = RAROpenArchiveEx(&open);
  walk.openResult = static_cast<int>(open.OpenResult);
  if (!handle) return walk;
  CallbackState state;
  state.password = password;
  RARSetCallback(handle, &Callback, reinterpret_cast<LPARAM>(&state));
  RARHeaderData header{};
  while ((walk.endResult = RARReadHeader(handle, &header)) == ERAR_SUCCESS) {
    state.data.clear();
    const int processed =
        RARProcessFile(handle, mode == RAR_OM_EXTRACT ? RAR_TEST : RAR_SKIP, nullptr, nullptr);
    walk.members.push_back({header.FileName, header.PackSize, header.UnpSize, header.Flags,
                            header.FileTime, processed, state.data});
  }
  walk.passwordRequests = state.passwordRequests;
  EXPECT_EQ(RARCloseArchive(handle), ERAR_SUCCESS);
  return walk;
}

// Flips one byte of `needle` inside `bytes`.
std::string Damage(std::string bytes, const std::string& needle) {
  const size_t at = bytes.find(needle);
  EXPECT_NE(at, std::string::npos);
  bytes[at] ^= 0x55;
  return bytes;
}

// A member of a stored test archive, named as the engine expects to see it ('\\').
struct StoredMember {
  std::string name;
  std::string data;
  bool directory = false;
};

// The two RAR generations, each through its own writer.
struct RarFormat {
  const char* label;
  std::string (*build)(const std::vector<StoredMember>&);
  UINT memberTime;  // the MS-DOS time the writer gives members (the RAR 5 writer gives none)
};

const RarFormat kRarFormats[] = {
    {"RAR 4",
     [](const std::vector<StoredMember>& members) {
       Rar4Writer writer;
       for (const StoredMember& m : members)
         writer.Add(m.name, m.data, m.directory ? Rar4Writer::kDirectory : 0);
       return writer.Bytes();
     },
     Rar4Writer::kDosTime},
    {"RAR 5",
     [](const std::vector<StoredMember>& members) {
       Rar5Writer writer;
       for (StoredMember m : members) {
         std::replace(m.name.begin(), m.name.end(), '\\', '/');
         writer.Add(m.name, m.data, m.directory);
       }
       return writer.Bytes();
     },
     0},
};

TEST(UnrarTest, StoredRarIsListedAndTestedThroughTheCallback) {
  TempDir dir;
  const std::string level(5000, 'L');
  for (const RarFormat& format : kRarFormats) {
    SCOPED_TRACE(format.label);
    dir.Write("Data.zkr",
              format.build(
                  {{"Scenes", "", true}, {"Scenes\\Level1.zks", level}, {"readme.txt", "hello"}}));

    // The archive's name is mapped like every platform path: backslashes, any letter case.
    const Walk list = WalkArchive(dir.Path() + "\\DATA.ZKR", RAR_OM_LIST);
    ASSERT_EQ(list.openResult, ERAR_SUCCESS);
    EXPECT_EQ(list.endResult, ERAR_END_ARCHIVE);
    ASSERT_EQ(list.members.size(), 3u);
    EXPECT_EQ(list.members[0].name, "Scenes");
    EXPECT_TRUE(list.members[0].flags & RHDF_DIRECTORY);
    EXPECT_EQ(list.members[1].name, "Scenes\\Level1.zks");
    EXPECT_EQ(list.members[1].unpSize, 5000u);
    EXPECT_EQ(list.members[1].packSize, 5000u);
    EXPECT_FALSE(list.members[1].flags & (RHDF_DIRECTORY | RHDF_ENCRYPTED));
    EXPECT_EQ(list.members[1].fileTime, format.memberTime);
    for (const Member& m : list.members) {
      EXPECT_EQ(m.processResult, ERAR_SUCCESS) << m.name;
      EXPECT_TRUE(m.data.empty()) << "listing delivers no data: " << m.name;
    }

    const Walk extract = WalkArchive(dir / "Data.zkr", RAR_OM_EXTRACT);
    ASSERT_EQ(extract.members.size(), 3u);
    EXPECT_EQ(extract.endResult, ERAR_END_ARCHIVE);
    for (const Member& m : extract.members) EXPECT_EQ(m.processResult, ERAR_SUCCESS) << m.name;
    EXPECT_EQ(extract.members[1].data, level);
    EXPECT_EQ(extract.members[2].data, "hello");
    EXPECT_EQ(extract.passwordRequests, 0);

    // An archive without members.
    dir.Write("empty.zkr", format.build({}));
    const Walk empty = WalkArchive(dir / "empty.zkr", RAR_OM_EXTRACT);
    EXPECT_EQ(empty.openResult, ERAR_SUCCESS);
    EXPECT_TRUE(empty.members.empty());
    EXPECT_EQ(empty.endResult, ERAR_END_ARCHIVE);
  }
}

TEST(UnrarTest, PasswordZipIsUnpackedWithThePasswordFromTheCallback) {
  TempDir dir;
  const std::string shader(20000, 'S');
  ZipWriter("s3cret").Add("shaders/Water.fx", shader).Add("notes.txt", "n").Write(dir / "s.zkr");

  const Walk walk = WalkArchive(dir / "s.zkr", RAR_OM_EXTRACT, "s3cret");
  ASSERT_EQ(walk.openResult, ERAR_SUCCESS);
  ASSERT_EQ(walk.members.size(), 2u);
  EXPECT_EQ(walk.members[0].name, "shaders\\Water.fx");
  EXPECT_TRUE(walk.members[0].flags & RHDF_ENCRYPTED);
  EXPECT_EQ(walk.members[0].unpSize, 20000u);
  EXPECT_GT(walk.members[0].packSize, 0u);
  EXPECT_LT(walk.members[0].packSize, 1000u) << "deflated";
  EXPECT_EQ(walk.members[0].processResult, ERAR_SUCCESS);
  EXPECT_EQ(walk.members[0].data, shader);
  EXPECT_EQ(walk.members[1].data, "n");
  EXPECT_EQ(walk.passwordRequests, 1) << "asked once, then kept for the archive";
  EXPECT_EQ(walk.endResult, ERAR_END_ARCHIVE);

  // Listing needs no password.
  const Walk list = WalkArchive(dir / "s.zkr", RAR_OM_LIST);
  EXPECT_EQ(list.members.size(), 2u);
  EXPECT_EQ(list.passwordRequests, 0);
}

TEST(UnrarTest, WrongOrMissingZipPasswordIsReportedAndDeliversNothing) {
  TempDir dir;
  ZipWriter("s3cret").Add("a.txt", std::string(3000, 'a')).Write(dir / "s.zkr");
  ZipWriter().Add("plain.txt", "plain").Write(dir / "plain.zkr");
  const struct {
    const char* password;
    int expected;
  } cases[] = {{"wrong", ERAR_BAD_PASSWORD}, {"", ERAR_MISSING_PASSWORD}};
  for (const auto& c : cases) {
    const Walk walk = WalkArchive(dir / "s.zkr", RAR_OM_EXTRACT, c.password);
    ASSERT_EQ(walk.members.size(), 1u) << c.password;
    EXPECT_EQ(walk.members[0].processResult, c.expected) << c.password;
    EXPECT_TRUE(walk.members[0].data.empty()) << c.password;
  }
  // A plain ZIP never asks for a password.
  const Walk plain = WalkArchive(dir / "plain.zkr", RAR_OM_EXTRACT);
  ASSERT_EQ(plain.members.size(), 1u);
  EXPECT_EQ(plain.members[0].data, "plain");
  EXPECT_EQ(plain.passwordRequests, 0);
}

TEST(UnrarTest, DamagedArchivesGiveBadData) {
  TempDir dir;
  const std::string payload = "0123456789abcdef";
  for (const RarFormat& format : kRarFormats) {
    SCOPED_TRACE(format.label);
    const std::string good = format.build({{"a.bin", payload}, {"b.bin", "b"}});

    // A damaged member body fails its CRC check.
    dir.Write("body.zkr", Damage(good, payload));
    const Walk body = WalkArchive(dir / "body.zkr", RAR_OM_EXTRACT);
    ASSERT_FALSE(body.members.empty());
    EXPECT_EQ(body.members[0].processResult, ERAR_BAD_DATA);

    // A damaged member header is refused when it is read.
    dir.Write("header.zkr", Damage(good, "b.bin"));
    const Walk header = WalkArchive(dir / "header.zkr", RAR_OM_LIST);
    EXPECT_EQ(header.endResult, ERAR_BAD_DATA);
    EXPECT_EQ(header.members.size(), 1u);

    // An archive cut inside a member's data.
    dir.Write("cut.zkr", good.substr(0, good.find(payload) + 4));
    const Walk cut = WalkArchive(dir / "cut.zkr", RAR_OM_EXTRACT);
    ASSERT_FALSE(cut.members.empty());
    EXPECT_EQ(cut.members[0].processResult, ERAR_BAD_DATA);
  }

  // A ZIP whose deflated data is damaged: it follows the 30-byte local header, the name and the
  // extra field, whose lengths are at offsets 26 and 28.
  ZipWriter().Add("a.bin", std::string(4000, 'z') + payload).Write(dir / "zip.zkr");
  std::ifstream zip(dir / "zip.zkr", std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(zip)), std::istreambuf_iterator<char>());
  ASSERT_GT(bytes.size(), 30u);
  auto le16 = [&](size_t at) {
    return size_t{static_cast<unsigned char>(bytes[at])} |
           size_t{static_cast<unsigned char>(bytes[at + 1])} << 8;
  };
  bytes.at(30 + le16(26) + le16(28) + 3) ^= 0x55;
  dir.Write("zip.zkr", bytes);
  const Walk damagedZip = WalkArchive(dir / "zip.zkr", RAR_OM_EXTRACT);
  ASSERT_EQ(damagedZip.members.size(), 1u);
  EXPECT_EQ(damagedZip.members[0].processResult, ERAR_BAD_DATA);
}

TEST(UnrarTest, EncryptedRarMemberIsRefusedNotReadAsGarbage) {
  TempDir dir;
  Rar4Writer().Add("secret.bin", "ciphertext", Rar4Writer::kEncrypted).Write(dir / "e.zkr");
  const Walk list = WalkArchive(dir / "e.zkr", RAR_OM_LIST);
  ASSERT_EQ(list.members.size(), 1u);
  EXPECT_TRUE(list.members[0].flags & RHDF_ENCRYPTED);

  const Walk extract = WalkArchive(dir / "e.zkr", RAR_OM_EXTRACT, "any");
  ASSERT_EQ(extract.members.size(), 1u);
  EXPECT_EQ(extract.members[0].processResult, ERAR_UNKNOWN_FORMAT);
  EXPECT_TRUE(extract.members[0].data.empty());

  // With encrypted headers not even the names can be read.
  Rar4Writer(Rar4Writer::kEncryptedHeaders).Add("secret.bin", "ciphertext").Write(dir / "h.zkr");
  const Walk headers = WalkArchive(dir / "h.zkr", RAR_OM_LIST, "any");
  EXPECT_EQ(headers.openResult, ERAR_UNKNOWN_FORMAT);
  EXPECT_TRUE(headers.members.empty());
}

TEST(UnrarTest, OpenFailuresGiveTheirResults) {
  TempDir dir;
  dir.Write("text.zkr", "this is not an archive at all, just some words");
  dir.Write("zero.zkr", "");
  const struct {
    std::string path;
    UINT expected;
  } cases[] = {
      {dir / "missing.zkr", ERAR_EOPEN},
      {dir.Path(), ERAR_EOPEN},  // a folder
      {dir / "text.zkr", ERAR_BAD_ARCHIVE},
      {dir / "zero.zkr", ERAR_BAD_ARCHIVE},
  };
  for (const auto& c : cases) {
    RAROpenArchiveDataEx open{};
    std::string name = c.path;
    open.ArcName = name.data();
    open.OpenMode = RAR_OM_LIST;
    EXPECT_EQ(RAROpenArchiveEx(&open), nullptr) << c.path;
    EXPECT_EQ(open.OpenResult, c.expected) << c.path;
  }
}

TEST(UnrarTest, CallsOutOfOrderOrOnStaleHandlesFailCleanly) {
  TempDir dir;
  Rar4Writer().Add("a", "x").Write(dir / "a.zkr");
  RAROpenArchiveDataEx open{};
  std::string name = dir / "a.zkr";
  open.ArcName = name.data();
  open.OpenMode = RAR_OM_EXTRACT;
  HANDLE handle = RAROpenArchiveEx(&open);
  ASSERT_NE(handle, nullptr);
  EXPECT_NE(RARProcessFile(handle, RAR_TEST, nullptr, nullptr), ERAR_SUCCESS)
      << "no header read yet";
  RARHeaderData header{};
  ASSERT_EQ(RARReadHeader(handle, &header), ERAR_SUCCESS);
  EXPECT_EQ(RARProcessFile(handle, RAR_EXTRACT, nullptr, nullptr), ERAR_ECREATE)
      << "nothing is written to disk";
  EXPECT_EQ(RARReadHeader(handle, &header), ERAR_END_ARCHIVE);
  EXPECT_EQ(RARCloseArchive(handle), ERAR_SUCCESS);
  EXPECT_EQ(RARCloseArchive(handle), ERAR_ECLOSE);
  EXPECT_NE(RARReadHeader(handle, &header), ERAR_SUCCESS);
}

TEST(UnrarTest, CallbackCanCancelUnpacking) {
  TempDir dir;
  Rar4Writer().Add("a", "data").Write(dir / "a.zkr");
  RAROpenArchiveDataEx open{};
  std::string name = dir / "a.zkr";
  CallbackState state;
  state.cancel = true;
  open.ArcName = name.data();
  open.OpenMode = RAR_OM_EXTRACT;
  open.Callback = &Callback;  // given at open instead of through RARSetCallback
  open.UserData = reinterpret_cast<LPARAM>(&state);
  HANDLE handle = RAROpenArchiveEx(&open);
  ASSERT_NE(handle, nullptr);
  RARHeaderData header{};
  ASSERT_EQ(RARReadHeader(handle, &header), ERAR_SUCCESS);
  EXPECT_NE(RARProcessFile(handle, RAR_TEST, nullptr, nullptr), ERAR_SUCCESS);
  RARCloseArchive(handle);
}

TEST(UnrarTest, LongNamesAreCutInTheShortHeaderAndWholeInTheLongOne) {
  TempDir dir;
  const std::string longName = std::string(300, 'n') + "\\f\xC3\xA9.txt";  // UTF-8 e-acute
  Rar4Writer().Add(longName, "x").Write(dir / "long.zkr");
  for (bool extended : {false, true}) {
    RAROpenArchiveDataEx open{};
    std::string name = dir / "long.zkr";
    open.ArcName = name.data();
    HANDLE handle = RAROpenArchiveEx(&open);
    ASSERT_NE(handle, nullptr);
    if (extended) {
      auto header = std::make_unique<RARHeaderDataEx>();
      ASSERT_EQ(RARReadHeaderEx(handle, header.get()), ERAR_SUCCESS);
      EXPECT_EQ(std::string(header->FileName), longName);
      EXPECT_EQ(std::wcslen(header->FileNameW), longName.size() - 1) << "e-acute is one character";
      EXPECT_EQ(header->FileNameW[301], L'f');
      EXPECT_EQ(header->FileNameW[302], L'\u00E9');
    } else {
      RARHeaderData header;
      std::memset(&header, 'z', sizeof header);
      ASSERT_EQ(RARReadHeader(handle, &header), ERAR_SUCCESS);
      EXPECT_EQ(std::string(header.FileName), longName.substr(0, 259));
    }
    RARCloseArchive(handle);
  }
}

}  // namespace
