// Player profiles: the item tree, its files as plain XML or complemented bytes, and the text
// transform.
#include <gtest/gtest.h>

#include <filesystem>

#include "PeltoCoreFixture.h"
#include "cpelto/PlayerProfiles.h"

namespace {

class PlayerProfilesTest : public PeltoCoreTest {
 protected:
  CTestPeltoCore& Start() {
    WriteLevelSetup("", "");
    std::filesystem::create_directories(m_folder / "game/levels");
    return StartCore();
  }
  // Two players, the first with a setting and a saved game below it.
  static void AddPlayers(geCBaseNode* root) {
    geCBaseNode* anna = AddProfileItem(root, "Anna");
    ASSERT_NE(anna, nullptr);
    anna->GetProperties()->RegisterAndSet("Volume", geCVariant(7));
    geCBaseNode* save = AddProfileItem(anna, "Save1");
    ASSERT_NE(save, nullptr);
    save->GetProperties()->RegisterAndSet("Level", geCVariant(std::string("castle")));
    save->GetProperties()->RegisterAndSet("Time", geCVariant(12.5f));
    ASSERT_NE(AddProfileItem(root, "Bert"), nullptr);
  }
  // Names, the properties that hold text and children, depth first, as one text.
  static std::string Tree(geCBaseNode* node) {
    std::string text = std::string(node->GetName()) + "{";
    for (const auto& [name, value] : node->GetProperties()->GetAll()) {
      const std::string valueText = node->GetProperties()->GetString(name.c_str());
      if (!valueText.empty()) text += name + "=" + valueText + ";";
    }
    for (DWORD i = 0; i < node->GetNodesCount(); ++i) text += Tree(node->GetNode(i));
    return text + "}";
  }
};

}  // namespace

TEST(ProfileTextTransform, ComplementsEveryByteAndUndoesItself) {
  EXPECT_EQ(Koduj("abc"), std::string("\x9E\x9D\x9C"));
  const std::string all = [] {
    std::string bytes;
    for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
    return bytes;
  }();
  EXPECT_EQ(DeKoduj(Koduj(all)), all);
  EXPECT_EQ(Koduj(Koduj("<Profiles/>")), "<Profiles/>");
  EXPECT_EQ(static_cast<unsigned char>(Koduj(all)[0]), 255);
}

TEST_F(PlayerProfilesTest, SavedTreeLoadsBackEqualAsXmlAndAsTransformedFile) {
  struct Case {
    const char* file;
    bool plain;
  } cases[] = {{"players.xml", true}, {"players.dat", false}, {"players.xml.bak", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    CTestPeltoCore& core = Start();
    AddPlayers(core.GetGameProfiles());
    core.SaveGameProfiles(c.file);
    const std::string bytes = Read(c.file);
    ASSERT_FALSE(bytes.empty());
    const std::string text = c.plain ? bytes : Koduj(bytes);
    EXPECT_NE(text.find(R"(<Node Type="ConfigurationNode" Name="Anna">)"), std::string::npos)
        << text;
    EXPECT_NE(text.find(R"(Time="12.500")"), std::string::npos) << text;
    EXPECT_EQ(bytes.find("<Profiles>") != std::string::npos, c.plain);
    DestroyCore();

    CTestPeltoCore& again = Start();
    ASSERT_TRUE(again.LoadGameProfiles(c.file));
    // Every value comes back as the text the file holds.
    EXPECT_EQ(
        Tree(again.GetGameProfiles()),
        "{Anna{Name=Anna;Volume=7;Save1{Level=castle;Name=Save1;Time=12.500;}}Bert{Name=Bert;}}");
    DestroyCore();
  }
}

TEST_F(PlayerProfilesTest, TransformedFileIsReadUpToTheEndOfItsText) {
  // The text ends where the file holds a 0xFF byte, the transform of a zero.
  m_folder.Write("cut.sav",
                 Koduj(R"(<Profiles><Node Type="ConfigurationNode" Name="A"/></Profiles>)") +
                     std::string(1, '\xFF') + "garbage");
  CTestPeltoCore& core = Start();
  ASSERT_TRUE(core.LoadGameProfiles("cut.sav"));
  ASSERT_EQ(core.GetGameProfiles()->GetNodesCount(), 1u);
  EXPECT_STREQ(core.GetGameProfiles()->GetNode(0)->GetName(), "A");
}

TEST_F(PlayerProfilesTest, TransformedTextEndingInsideAUtf8SequenceEndsThere) {
  // A lead byte at the end of the text must not carry the parser over its end into the file's
  // rest.
  m_folder.Write(
      "cut.sav",
      Koduj(R"(<?xml version="1.0" ?><Profiles><Node Type="ConfigurationNode" Name="A"/>)") +
          Koduj("\xC7") + std::string(1, '\xFF') +
          Koduj(R"(<Node Type="ConfigurationNode" Name="Ghost"/></Profiles>)"));
  CTestPeltoCore& core = Start();
  ASSERT_TRUE(core.LoadGameProfiles("cut.sav"));
  ASSERT_EQ(core.GetGameProfiles()->GetNodesCount(), 1u);
  EXPECT_STREQ(core.GetGameProfiles()->GetNode(0)->GetName(), "A");
}

TEST_F(PlayerProfilesTest, ATextByte0xFFSurvivesTheTransformedFile) {
  // Its transform is a zero byte in the file, which must not end the text.
  const std::string name = "Ann\xFF";
  CTestPeltoCore& core = Start();
  geCBaseNode* first = AddProfileItem(core.GetGameProfiles(), name.c_str());
  ASSERT_NE(first, nullptr);
  first->GetProperties()->RegisterAndSet("Nick", geCVariant(std::string("x\xFFy")));
  ASSERT_NE(AddProfileItem(core.GetGameProfiles(), "Bert"), nullptr);
  core.SaveGameProfiles("players.dat");
  ASSERT_NE(Read("players.dat").find('\0'), std::string::npos);
  DestroyCore();

  CTestPeltoCore& again = Start();
  ASSERT_TRUE(again.LoadGameProfiles("players.dat"));
  EXPECT_EQ(Tree(again.GetGameProfiles()), "{Ann\xFF{Name=Ann\xFF;Nick=x\xFFy;}Bert{Name=Bert;}}");
}

TEST_F(PlayerProfilesTest, LoadingTwiceDoublesTheItemsAndSavesThemAll) {
  m_folder.Write("p.xml", R"(<Profiles><Node Type="ConfigurationNode" Name="A"><Param X="1"/></Node>
                              <Node Type="ConfigurationNode" Name="B"/></Profiles>)");
  CTestPeltoCore& core = Start();
  ASSERT_TRUE(core.LoadGameProfiles("p.xml"));
  ASSERT_TRUE(core.LoadGameProfiles("p.xml"));
  geCBaseNode* root = core.GetGameProfiles();
  ASSERT_EQ(root->GetNodesCount(), 4u);
  EXPECT_STREQ(root->GetNode(2)->GetName(), "A");
  // Every item still owns a live element: a save writes all four.
  root->GetNode(0)->GetProperties()->Set("X", geCVariant(5));
  core.SaveGameProfiles("out.xml");
  const std::string text = Read("out.xml");
  size_t items = 0;
  for (size_t at = text.find("<Node"); at != std::string::npos; at = text.find("<Node", at + 1))
    ++items;
  EXPECT_EQ(items, 4u) << text;
  EXPECT_NE(text.find(R"(X="5")"), std::string::npos);
  EXPECT_NE(text.find(R"(X="1")"), std::string::npos);
}

TEST_F(PlayerProfilesTest, MissingFileAndFileWithoutProfilesLeaveTheTree) {
  m_folder.Write("other.xml", R"(<Players><Node Type="ConfigurationNode" Name="A"/></Players>)");
  CTestPeltoCore& core = Start();
  AddProfileItem(core.GetGameProfiles(), "Kept");
  EXPECT_FALSE(core.LoadGameProfiles("absent.xml"));
  EXPECT_FALSE(core.LoadGameProfiles("absent.dat"));
  EXPECT_FALSE(core.LoadGameProfiles("other.xml"));
  EXPECT_NE(GameLog().find("WARNING: no <Profiles> element in profiles 'other.xml'"),
            std::string::npos);
  ASSERT_EQ(core.GetGameProfiles()->GetNodesCount(), 1u);
  core.SaveGameProfiles("kept.xml");
  EXPECT_NE(Read("kept.xml").find(R"(Name="Kept")"), std::string::npos);
}

TEST_F(PlayerProfilesTest, ItemsAddedBeforeAnyLoadSurviveASave) {
  CTestPeltoCore& core = Start();
  EXPECT_EQ(AddProfileItem(nullptr, "Nobody"), nullptr);
  EXPECT_EQ(core.GetGameProfiles()->GetNodesCount(), 0u);
  AddPlayers(core.GetGameProfiles());
  core.SaveGameProfiles("first.xml");
  const std::string text = Read("first.xml");
  for (const char* name : {"Anna", "Save1", "Bert"})
    EXPECT_NE(text.find(std::string("Name=\"") + name + "\""), std::string::npos) << name;
  EXPECT_NE(text.find(R"(<Param Volume="7" />)"), std::string::npos) << text;
}

TEST_F(PlayerProfilesTest, RemovedItemLeavesTreeAndFile) {
  CTestPeltoCore& core = Start();
  AddPlayers(core.GetGameProfiles());
  geCBaseNode* root = core.GetGameProfiles();
  RemoveProfileItem(nullptr);
  RemoveProfileItem(root);  // the root has no parent: it stays
  RemoveProfileItem(root->GetNode(0));
  ASSERT_EQ(root->GetNodesCount(), 1u);
  EXPECT_STREQ(root->GetNode(0)->GetName(), "Bert");
  core.SaveGameProfiles("after.xml");
  const std::string text = Read("after.xml");
  EXPECT_EQ(text.find("Anna"), std::string::npos) << text;
  EXPECT_EQ(text.find("Save1"), std::string::npos) << text;
  EXPECT_NE(text.find("Bert"), std::string::npos) << text;
}

TEST_F(PlayerProfilesTest, ItemUnderANodeWithoutElementIsRefused) {
  CTestPeltoCore& core = Start();
  EXPECT_EQ(AddProfileItem(core.GetRootNode(), "Loose"), nullptr);
  EXPECT_EQ(core.GetRootNode()->GetNodeByName("Loose", 1), nullptr);
  EXPECT_NE(GameLog().find("WARNING: profile item 'Loose' not added"), std::string::npos);
}
