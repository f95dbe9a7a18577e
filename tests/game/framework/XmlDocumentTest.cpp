// XML documents read from disk before the engine exists, include splicing and the node dump.
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "LogFolder.h"
#include "XmlErrorExit.h"
#include "framework/BaseNode.h"
#include "framework/EngineGlobals.h"
#include "framework/LogNodes.h"
#include "framework/XmlDocument.h"

namespace {

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class XmlDocumentTest : public LogFolder {
 protected:
  void SetUp() override {
    LogFolder::SetUp();
    ASSERT_EQ(g_pZeKorb, nullptr) << "these documents are read before the engine exists";
  }
  void Write(const std::string& relative, const std::string& text) {
    const std::filesystem::path path = std::filesystem::path(m_folder.Path()) / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path) << text;
  }
  // The element names of the node's children, in order.
  static std::string Children(const TiXmlNode* node) {
    std::string names;
    for (const TiXmlNode* child = node->FirstChild(); child; child = child->NextSibling())
      names += std::string(names.empty() ? "" : " ") + child->Value();
    return names;
  }
  // Preprocesses the text as the document "cfg\main.xml".
  TiXmlDocument Preprocess(const std::string& text) {
    Write("cfg/main.xml", text);
    TiXmlDocument document = LoadXmlDocument("cfg\\main.xml");
    PreprocessDocument(document);
    return document;
  }
  std::string Log() const { return Read("GameEngine.log"); }
};

}  // namespace

TEST_F(XmlDocumentTest, IncludedNodesFollowTheParentsLastChild) {
  Write("cfg/Parts.xml", "<A/><!-- note --><B><Include File='cfg\\leaf.xml'/></B>");
  Write("cfg/leaf.xml", "<Leaf/>");
  const TiXmlDocument document =
      Preprocess("<Root><First/><Include File='CFG\\parts.xml'/><Last/></Root>");
  const TiXmlElement* root = document.RootElement();
  EXPECT_EQ(Children(root), "First Last A  note  B");
  EXPECT_EQ(Children(root->FirstChildElement("B")), "Leaf") << "includes inside included nodes";
  const std::string log = Log();
  EXPECT_PRED2(Contains, log, "  - Includding file 'CFG\\parts.xml' \n");
  EXPECT_PRED2(Contains, log,
               "   - moving node 'A'\n   - moving node ' note '\n   - moving node 'B'\n");
  EXPECT_PRED2(Contains, log, "  - Includding file 'cfg\\leaf.xml' \n   - moving node 'Leaf'\n");
}

TEST_F(XmlDocumentTest, MissingFilesAndIncludesWithoutFileAreRemoved) {
  const TiXmlDocument document =
      Preprocess("<Root><Include/><Keep/><Include File='cfg\\none.xml'/><Include File=''/></Root>");
  EXPECT_EQ(Children(document.RootElement()), "Keep");
  // An include without a file is treated as one of an empty path.
  EXPECT_EQ(Log(),
            "  - Included file '' NOT exist\n  - Included file 'cfg\\none.xml' NOT exist\n"
            "  - Included file '' NOT exist\n");
}

TEST_F(XmlDocumentTest, IncludeCyclesStop) {
  struct Case {
    const char* name;
    std::vector<std::pair<std::string, std::string>> files;
    const char* main;
    const char* children;
  } cases[] = {
      {"a file including itself at its top",
       {{"cfg/self.xml", "<S/><Include File='cfg\\self.xml'/>"}},
       "<Root><Include File='cfg\\self.xml'/></Root>",
       "S"},
      {"a file including itself inside an element",
       {{"cfg/deep.xml", "<D><Include File='cfg\\DEEP.xml'/></D>"}},
       "<Root><Include File='cfg\\deep.xml'/></Root>",
       "D"},
      {"two files including each other",
       {{"cfg/one.xml", "<One/><Include File='cfg\\two.xml'/>"},
        {"cfg/two.xml", "<Two/><Include File='cfg/one.xml'/>"}},
       "<Root><Include File='cfg\\one.xml'/></Root>",
       "One Two"},
      {"a file including the main document",
       {{"cfg/back.xml", "<Back><Include File='cfg\\main.xml'/></Back>"}},
       "<Root><Include File='cfg\\back.xml'/></Root>",
       "Back"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const auto& [file, text] : c.files) Write(file, text);
    const TiXmlDocument document = Preprocess(c.main);
    EXPECT_EQ(Children(document.RootElement()), c.children);
    EXPECT_PRED2(Contains, Log(), "includes itself, skipped\n");
  }
  // Nothing of the expansion stays behind in the nodes.
  const TiXmlDocument document = Preprocess("<Root><Include File='cfg\\deep.xml'/></Root>");
  EXPECT_EQ(document.RootElement()->FirstChild()->GetUserData(), nullptr);
}

TEST_F(XmlDocumentTest, EmptyDocumentIsOnlyLogged) {
  TiXmlDocument document;
  PreprocessDocument(document);
  EXPECT_PRED2(Contains, Log(), "  - Empty data (TiXmlDocument is NULL)\n");
}

TEST_F(XmlDocumentTest, BrokenFileOnDiskEndsTheProgram) {
  Write("cfg/broken.xml", "<Root>\n  <Open>\n</Root>");
  ExpectXmlErrorExit([] { LoadXmlDocument("cfg\\broken.xml"); });
  EXPECT_PRED2(Contains, Log(),
               " - Error in file 'cfg\\broken.xml'. Error='Error reading end tag.'.\n"
               " - Column: 1, Line: 3\n");
}

TEST_F(XmlDocumentTest, NodeDumpIndentsByDepth) {
  geTRefPtr<geCBaseNode> root = new geCBaseNode(nullptr);
  root->SetName("geRootNode");
  auto* child = new geCBaseNode(root.Get());
  child->SetName("Child");
  auto* grandchild = new geCBaseNode(child);
  grandchild->SetName("Grandchild");
  grandchild->Disable(1);
  auto* second = new geCBaseNode(root.Get());
  second->SetName("Second");
  geCLogger::SetFirstWrite(true);
  LogNodes(root.Get());
  char expected[512];
  snprintf(expected, sizeof expected,
           "G A M E   T R E E:\n-geRootNode (id=%d)(Enabled=1)\n  -Child (id=%d)(Enabled=1)\n"
           "    -Grandchild (id=%d)(Enabled=0)\n  -Second (id=%d)(Enabled=1)\n\n",
           root->GetID(), child->GetID(), grandchild->GetID(), second->GetID());
  EXPECT_EQ(Log(), expected);
  EXPECT_EQ(g_dwLogNodesDepth, 0u);
}

TEST(ParseXmlText, ATextEndingInsideAUtf8SequenceIsNotReadPastItsEnd) {
  // After a declaration TinyXML reads UTF-8 and steps over a whole sequence at its lead byte.
  for (const char* lead : {"\xC7", "\xE5", "\xE5\x80", "\xF1", "\xF1\x80\x80"}) {
    SCOPED_TRACE(lead);
    const std::string text = std::string("<?xml version=\"1.0\" ?><R><A/>") + lead + '\0' +
                             "<Ghost/><Ghost/><Ghost/></R>";
    TiXmlDocument document;
    ParseXmlText(document, text);
    ASSERT_NE(document.RootElement(), nullptr);
    EXPECT_NE(document.RootElement()->FirstChildElement("A"), nullptr);
    EXPECT_EQ(document.RootElement()->FirstChildElement("Ghost"), nullptr);
  }
}
