#include <gtest/gtest.h>
#include <tinyxml.h>

#include <string>
#include <vector>

#include "NodeFixture.h"
#include "framework/BaseNode.h"
#include "framework/NodeFactory.h"

namespace {

// A node that accepts properties no class registered, as configuration nodes do.
class geCAnyPropertyNode : public geCBaseNode {
 public:
  explicit geCAnyPropertyNode(geCBaseNode* parent) : geCBaseNode(parent) {
    m_dwFlags |= kFlagAcceptsAnyProperty;
  }
};

class NodeXmlTest : public NodeFixture {
 protected:
  void SetUp() override {
    NodeFixture::SetUp();
    ASSERT_TRUE(RegisterNodeType<geCAnyPropertyNode>("Config"));
    m_root = new geCBaseNode(nullptr);
    m_root->SetName("geRootNode");
  }
  void TearDown() override {
    m_root.Reset();
    NodeFixture::TearDown();
  }

  // Builds the children of the document's root element under m_root; returns the log lines
  // written meanwhile.
  std::vector<std::string> Build(const char* xml) {
    m_document.Parse(xml);
    EXPECT_FALSE(m_document.Error()) << m_document.ErrorDesc();
    const size_t logged = Read("GameEngine.log").size();
    m_root->CreateChildrenFromXML(m_document.RootElement());
    return Lines(Read("GameEngine.log").substr(logged));
  }
  geCBaseNode* Find(const char* name) { return m_root->GetNodeByName(name, 1); }
  std::string Property(const char* node, const char* name) {
    return Find(node)->GetProperties()->GetString(name);
  }

  TiXmlDocument m_document;
  geTRefPtr<geCBaseNode> m_root;
};

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
  for (const std::string& l : lines)
    if (l == line) return true;
  return false;
}

}  // namespace

TEST_F(NodeXmlTest, ParamAttributesSetRegisteredPropertiesInOrder) {
  const auto log = Build(R"(<Game>
    <Node Type="Node" Name="n">
      <Param UserData1="a" Stranger="s" UserData2="b"/>
      <Param UserData1="c" Enabled="1"/>
    </Node></Game>)");
  ASSERT_NE(Find("n"), nullptr);
  EXPECT_EQ(Property("n", "UserData1"), "c");  // a later Param overrides an earlier one
  EXPECT_EQ(Property("n", "UserData2"), "b");
  EXPECT_EQ(Property("n", "Name"), "n");
  EXPECT_FALSE(Find("n")->GetProperties()->IsRegistred("Stranger"));
  const std::vector<std::string> params(log.end() - 5, log.end());
  EXPECT_EQ(params, (std::vector<std::string>{
                        " - Setting property:  UserData1=a",
                        " - Warrning, Param (Stranger='s')for node not registered in class",
                        " - Setting property:  UserData2=b",
                        " - Setting property:  UserData1=c",
                        " - Setting property:  Enabled=1",
                    }));
}

TEST_F(NodeXmlTest, ANodeAcceptingAnyPropertyKeepsThemAll) {
  const auto log = Build(R"(<Game>
    <Node Type="Config" Name="cfg"><Param Width="800" Height="600" Enabled="1"/></Node></Game>)");
  geCBaseNode* cfg = Find("cfg");
  ASSERT_NE(cfg, nullptr);
  EXPECT_EQ(Property("cfg", "Width"), "800");
  EXPECT_EQ(Property("cfg", "Height"), "600");
  const std::vector<std::string> tail(log.end() - 5, log.end());
  EXPECT_EQ(tail, (std::vector<std::string>{
                      "\t- Registering property name 'Width'",
                      " - Adding property:  Width=800",
                      "\t- Registering property name 'Height'",
                      " - Adding property:  Height=600",
                      " - Setting property:  Enabled=1",
                  }));
}

TEST_F(NodeXmlTest, OnlyANonZeroNumberKeepsANodeEnabled) {
  Build(R"(<Game>
    <Node Type="Node" Name="zero"><Param Enabled="0"/>
      <Node Type="Node" Name="zeroKidOn"><Param Enabled="1"/>
        <Node Type="Node" Name="grandKidOff"/>
      </Node>
    </Node>
    <Node Type="Node" Name="absent"/>
    <Node Type="Node" Name="true"><Param Enabled="true"/></Node>
    <Node Type="Node" Name="one"><Param Enabled="1"/></Node>
    <Node Type="Node" Name="two"><Param Enabled=" 2"/></Node>
  </Game>)");
  struct Case {
    const char* name;
    bool enabled;
  };
  const Case cases[] = {{"zero", false},   {"zeroKidOn", true}, {"grandKidOff", false},
                        {"absent", false}, {"true", false},     {"one", true},
                        {"two", true}};
  for (const Case& c : cases) {
    ASSERT_NE(Find(c.name), nullptr) << c.name;
    EXPECT_EQ(Find(c.name)->IsEnabled(), c.enabled) << c.name;
  }

  // The enabled child under the disabled parent receives no passes.
  m_root->Enable(1, 0);
  geSUpdateArgument arg{};
  m_root->Process(&arg);
  EXPECT_EQ(Find("zeroKidOn")->IsFistTimeUpdate(), 1u);
  EXPECT_EQ(Find("one")->IsFistTimeUpdate(), 0u);
}

TEST_F(NodeXmlTest, ElementsThatAreSkippedTakeTheirSubtreeAlong) {
  const auto log = Build(R"(<Game>
    <Node Type="Node" Name="first"/>
    <!-- a comment between siblings -->
    <Other Type="Node" Name="notANode"/>
    <Node Type="Unknown" Name="unknown"><Node Type="Node" Name="underUnknown"/></Node>
    <Node Name="untyped"><Node Type="Node" Name="underUntyped"/></Node>
    <Node Type="Node" Name="manual" NotCreateAutomaticly="0">
      <Node Type="Node" Name="underManual"/>
    </Node>
    <Node Type="node" Name="lowerCase"/>
    <Node Type="Node" Name="last"/>
  </Game>)");
  std::vector<std::string> built;
  for (DWORD i = 0; i < m_root->GetNodesCount(); ++i)
    built.push_back(m_root->GetNode(i)->GetName());
  EXPECT_EQ(built, (std::vector<std::string>{"first", "last"}));
  for (const char* name : {"underUnknown", "underUntyped", "underManual", "notANode"})
    EXPECT_EQ(Find(name), nullptr) << name;

  EXPECT_TRUE(Contains(log, "- Creatting node from Factory (type='Unknown')...")) << log.size();
  EXPECT_TRUE(Contains(log, "\b\bFAILED"));
  EXPECT_TRUE(Contains(log, "- Skipping node from Factory (type='Node')..."));
  EXPECT_TRUE(Contains(log, "- Skipping node without a type from Factory"));
  // One loading frame for every element handed to the factory: first, Unknown, node, last.
  EXPECT_EQ(m_core.progressFrames, 4);
}

TEST_F(NodeXmlTest, TreesAreBuiltDepthFirstAndEachNodeIsConfiguredBeforeItsChildren) {
  m_folder.Write("count.as", R"(
    void main(geCBaseNode@ node) { Note(int(node.GetID())); Note(int(node.GetNodesCount())); })");
  Build(R"(<Game>
    <Node Type="Node" Name="a"><Param ScriptFile="count.as" Enabled="1"/>
      <Node Type="Node" Name="a1"><Param ScriptFile="count.as"/></Node>
      <Node Type="Node" Name="a2"><Param ScriptFile="count.as"/></Node>
    </Node>
    <Node Type="Node" Name="b"><Param ScriptFile="count.as" ScriptModuleName="shared"/></Node>
  </Game>)");
  const DWORD a = Find("a")->GetID(), a1 = Find("a1")->GetID(), a2 = Find("a2")->GetID(),
              b = Find("b")->GetID();
  EXPECT_LT(a, a1);
  EXPECT_LT(a1, a2);
  EXPECT_LT(a2, b);
  // main() once per node, in document order, before the node has any child.
  EXPECT_EQ(m_notes, (std::vector<int>{int(a), 0, int(a1), 0, int(a2), 0, int(b), 0}));
  EXPECT_EQ(Find("a")->GetScriptModuleName(), "a");
  EXPECT_EQ(Find("b")->GetScriptModuleName(), "shared");
  EXPECT_EQ(Find("a")->GetXmlElement(), m_document.RootElement()->FirstChildElement("Node"));
  EXPECT_EQ(m_host.GetModuleNames(), (std::vector<std::string>{"a", "a1", "a2", "shared"}));
}

TEST_F(NodeXmlTest, AMissingScriptFileIsWarnedAndTheNodeWorksWithoutAModule) {
  const auto log = Build(R"(<Game>
    <Node Type="Node" Name="lost"><Param ScriptFile="scripts\gone.as" Enabled="1"/></Node>
  </Game>)");
  geCBaseNode* lost = Find("lost");
  ASSERT_NE(lost, nullptr);
  EXPECT_EQ(lost->GetScriptContext(), nullptr);
  EXPECT_TRUE(lost->IsEnabled());
  EXPECT_EQ(log.back(), " - Script Warrning:  script file 'scripts\\gone.as' NOT exist");
  EXPECT_EQ(log[log.size() - 2], " - Loading AngelScript file 'scripts\\gone.as'");
  EXPECT_EQ(lost->CallScriptFunction("geCBaseNode_Update"), 0u);
}

TEST_F(NodeXmlTest, NamelessNodesAndANullElement) {
  Build(R"(<Game><Node Type="Node"><Param Enabled="1"/></Node></Game>)");
  ASSERT_EQ(m_root->GetNodesCount(), 1u);
  geCBaseNode* nameless = m_root->GetNode(0);
  EXPECT_STREQ(nameless->GetName(), "");
  EXPECT_EQ(nameless->GetProperties()->Get("Name").GetType(), geCVariant::TYPE_STRING);
  EXPECT_TRUE(nameless->IsEnabled());

  geTRefPtr<geCBaseNode> bare = new geCBaseNode(nullptr);
  bare->Configure(nullptr);
  EXPECT_FALSE(bare->IsEnabled());
  EXPECT_EQ(bare->GetXmlElement(), nullptr);
  EXPECT_EQ(bare->CreateChildFromXML(nullptr), nullptr);
  bare->CreateChildrenFromXML(nullptr);
  EXPECT_EQ(bare->GetNodesCount(), 0u);
}
