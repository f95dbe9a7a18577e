#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "NodeFixture.h"
#include "framework/BaseNode.h"

namespace {

using NodeTreeTest = NodeFixture;

// A node and the property bag inside it.
constexpr int kObjectsPerNode = 2;

// A node that records its passes and walks, by name, into one shared trace.
class geCTraceNode : public geCBaseNode {
 public:
  geCTraceNode(geCBaseNode* parent, const char* name, std::vector<std::string>* trace)
      : geCBaseNode(parent), m_trace(trace) {
    SetName(name);
  }
  void Update(geSUpdateArgument* arg) override {
    m_trace->push_back(std::string("U:") + GetName());
    geCBaseNode::Update(arg);
  }
  void Process(geSUpdateArgument* arg) override {
    m_trace->push_back(std::string("P:") + GetName());
    geCBaseNode::Process(arg);
  }

 private:
  std::vector<std::string>* m_trace;
};

}  // namespace

TEST(NodeNameHash, KnownValues) {
  struct Case {
    std::string name;
    DWORD hash;
  };
  const Case cases[] = {
      {"", 0},
      {"a", 0xEFEA5FB9},
      {"geRootNode", 0x7E0FA1B1},
      {"\xE9", 0xA43BC871},  // counts as -23, not 233
  };
  for (const Case& c : cases) EXPECT_EQ(HashNodeName(c.name.c_str()), c.hash) << c.name;
  EXPECT_EQ(HashNodeName(nullptr), 0u);
}

TEST_F(NodeTreeTest, ClassIdentityAndSlotsOfAFreshNode) {
  geTRefPtr<geCBaseNode> node = new geCBaseNode(nullptr);
  EXPECT_STREQ(node->GetClassName(), "geCBaseNode");
  EXPECT_TRUE(node->IsKindOf("geCBaseNode"));
  EXPECT_TRUE(node->IsKindOf("geCBaseObject"));
  EXPECT_FALSE(node->IsKindOf("gecbasenode"));
  EXPECT_EQ(node->GetClassSize(), sizeof(geCBaseNode));
  // The constructor registered the base properties: enabled, first update pending, no name.
  EXPECT_EQ(node->GetFlags(), geCBaseNode::kFlagEnabled);
  EXPECT_EQ(node->IsFistTimeUpdate(), 1u);
  EXPECT_STREQ(node->GetName(), "");
  for (const char* name :
       {"Name", "Enabled", "ScriptFile", "ScriptModuleName", "UserData1", "UserData2"})
    EXPECT_TRUE(node->GetProperties()->IsRegistred(name)) << name;
}

TEST_F(NodeTreeTest, ConstructionAndDestructionLogTheirLines) {
  geTRefPtr<geCBaseNode> root = new geCBaseNode(nullptr);
  root->SetName("root");
  geCBaseNode* child = new geCBaseNode(root.Get());
  const DWORD rootID = root->GetID(), childID = child->GetID();
  EXPECT_EQ(child->GetRefCount(), 1);
  EXPECT_EQ(child->GetParent(), root.Get());
  child->SetName("kid");
  root.Reset();

  const std::string r = std::to_string(rootID), c = std::to_string(childID);
  std::vector<std::string> expected = {"- Creating Node as child of Nothing, id=" + r};
  auto registrations = [&expected] {
    for (const char* name :
         {"Name", "Enabled", "ScriptFile", "ScriptModuleName", "UserData1", "UserData2"})
      expected.push_back(std::string("\t- Registering property name '") + name + "'");
  };
  registrations();
  expected.insert(expected.end(), {
                                      "  -Setting name 'root' to node id=" + r +
                                          " (Hash=" + std::to_string(HashNodeName("root")) + ")",
                                      "- Creating Node as child of 'root'(id=" + r + "), id=" + c,
                                      "- Added child ''(id=" + c + ") to node 'root'(id=" + r + ")",
                                  });
  registrations();
  expected.insert(expected.end(),
                  {
                      "  -Setting name 'kid' to node id=" + c +
                          " (Hash=" + std::to_string(HashNodeName("kid")) + ")",
                      "~geCBaseNode: Removing children of node 'root'(id=" + r + ")",
                      "~geCBaseNode: Removing children of node 'kid'(id=" + c + ")",
                      "Node 'kid'(id=" + c + ") deleted",
                      "Node 'root'(id=" + r + ") deleted",
                  });
  EXPECT_EQ(GameLogLines(), expected);
}

TEST_F(NodeTreeTest, WithoutACoreDestructionIsSilent) {
  m_core.exists = false;
  {
    geTRefPtr<geCBaseNode> root = new geCBaseNode(nullptr);
    new geCBaseNode(root.Get());
  }
  EXPECT_EQ(Read("GameEngine.log").find("deleted"), std::string::npos);
  EXPECT_EQ(Read("GameEngine.log").find("Removing"), std::string::npos);
}

TEST_F(NodeTreeTest, SetNameKeepsTheFirst255CharactersAndRefusesAnEmptyName) {
  geTRefPtr<geCBaseNode> root = new geCBaseNode(nullptr);
  const std::string longName(300, 'x');
  root->SetName(longName.c_str());
  EXPECT_EQ(std::string(root->GetName()), longName.substr(0, 255));
  // The hash (and the name map) take the whole name.
  EXPECT_NE(Read("GameEngine.log").find("(Hash=" + std::to_string(HashNodeName(longName.c_str()))),
            std::string::npos);
  EXPECT_NE(HashNodeName(longName.c_str()), HashNodeName(longName.substr(0, 255).c_str()));

  root->SetName("kept");
  root->SetName("");
  root->SetName(nullptr);
  EXPECT_STREQ(root->GetName(), "kept");
  const std::string failed =
      "  -Setting name 'kept' to node id=" + std::to_string(root->GetID()) + " (Hash=0) FAILED\n";
  const std::string log = Read("GameEngine.log");
  EXPECT_NE(log.find(failed + failed), std::string::npos) << log;
}

TEST_F(NodeTreeTest, LookupsByNameInBothModes) {
  // root ─┬─ a ("twin") ── a1 ("deep")
  //       └─ b ("twin")
  geTRefPtr<geCBaseNode> root = new geCBaseNode(nullptr);
  root->SetName("root");
  geCBaseNode* a = new geCBaseNode(root.Get());
  geCBaseNode* a1 = new geCBaseNode(a);
  geCBaseNode* b = new geCBaseNode(root.Get());
  a->SetName("twin");
  a1->SetName("deep");
  b->SetName("twin");
  geTRefPtr<geCBaseNode> outside = new geCBaseNode(nullptr);
  outside->SetName("outside");

  struct Case {
    geCBaseNode* from;
    const char* name;
    DWORD childSearch;
    geCBaseNode* expected;
  };
  const Case cases[] = {
      {root.Get(), "root", 0, root.Get()},
      {root.Get(), "twin", 0, b},  // the one that took the name last
      {root.Get(), "twin", 1, a},  // the first in depth-first order
      {root.Get(), "deep", 0, a1},
      {root.Get(), "deep", 1, a1},
      {b, "deep", 0, nullptr},  // mapped, but outside the searched subtree
      {a, "twin", 0, a},        // its own name comes first
      {root.Get(), "outside", 0, nullptr},
      {root.Get(), "outside", 1, nullptr},
      {root.Get(), "missing", 0, nullptr},
      {root.Get(), "Twin", 1, nullptr},
      {root.Get(), nullptr, 0, nullptr},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.from->GetNodeByName(c.name, c.childSearch), c.expected)
        << (c.name ? c.name : "null") << " childSearch=" << c.childSearch;
}

TEST_F(NodeTreeTest, ARenamedNodeIsStillFoundByItsOldName) {
  geTRefPtr<geCBaseNode> root = new geCBaseNode(nullptr);
  geCBaseNode* level = new geCBaseNode(root.Get());
  level->SetName("CPeltoLevel");
  level->SetName("level_01");
  EXPECT_EQ(root->GetNodeByName("CPeltoLevel", 0), level);
  EXPECT_EQ(root->GetNodeByName("level_01", 0), level);
  // Searching the children compares the current names only.
  EXPECT_EQ(root->GetNodeByName("CPeltoLevel", 1), nullptr);
}

TEST_F(NodeTreeTest, NamesSharingAHashFindTheirOwnNodes) {
  // Short names of equal hash, found by search rather than written down.
  std::map<DWORD, std::string> seen;
  std::string first, second;
  for (int i = 0; first.empty(); ++i) {
    const std::string name = "n" + std::to_string(i);
    auto [it, added] = seen.emplace(HashNodeName(name.c_str()), name);
    if (!added) first = it->second, second = name;
  }
  geTRefPtr<geCBaseNode> root = new geCBaseNode(nullptr);
  geCBaseNode* one = new geCBaseNode(root.Get());
  geCBaseNode* two = new geCBaseNode(root.Get());
  one->SetName(first.c_str());
  two->SetName(second.c_str());
  EXPECT_EQ(root->GetNodeByName(first.c_str(), 0), one);
  EXPECT_EQ(root->GetNodeByName(second.c_str(), 0), two);
}

TEST_F(NodeTreeTest, ChildrenByIndexAndIdAndRemoval) {
  geTRefPtr<geCBaseNode> root = new geCBaseNode(nullptr);
  geCBaseNode* a = new geCBaseNode(root.Get());
  geCBaseNode* b = new geCBaseNode(root.Get());
  geCBaseNode* b1 = new geCBaseNode(b);
  geTRefPtr<geCBaseNode> stranger = new geCBaseNode(nullptr);

  EXPECT_EQ(root->GetNodesCount(), 2u);
  EXPECT_EQ(root->GetNode(0), a);
  EXPECT_EQ(root->GetNode(1), b);
  EXPECT_EQ(root->GetNode(2), nullptr);
  EXPECT_EQ(root->GetNode(0xFFFFFFFF), nullptr);
  EXPECT_EQ(b1->GetNodesCount(), 0u);
  EXPECT_EQ(b1->GetNode(0), nullptr);

  EXPECT_EQ(root->GetNodeByID(b1->GetID()), b1);
  EXPECT_EQ(root->GetNodeByID(root->GetID()), root.Get());
  EXPECT_EQ(a->GetNodeByID(b1->GetID()), nullptr);
  EXPECT_EQ(root->GetNodeByID(stranger->GetID()), nullptr);

  // Removing a stranger changes nothing; removing a child releases it and its subtree.
  const int alive = g_nObjectsAlive;
  root->RemoveChild(stranger.Get());
  root->RemoveChild(nullptr);
  EXPECT_EQ(root->GetNodesCount(), 2u);
  root->RemoveChild(b);
  EXPECT_EQ(g_nObjectsAlive, alive - 2 * kObjectsPerNode);
  ASSERT_EQ(root->GetNodesCount(), 1u);
  EXPECT_EQ(root->GetNode(0), a);

  // A removed child that someone else still holds survives and no longer names its parent.
  geTRefPtr<geCBaseNode> held = a;
  root->RemoveChild(a);
  EXPECT_EQ(held->GetParent(), nullptr);
  EXPECT_EQ(root->GetNodesCount(), 0u);
}

TEST_F(NodeTreeTest, AChildHeldElsewhereOutlivesItsParentWithoutAParent) {
  geTRefPtr<geCBaseNode> child;
  {
    geTRefPtr<geCBaseNode> root = new geCBaseNode(nullptr);
    child = new geCBaseNode(root.Get());
    EXPECT_EQ(child->GetRefCount(), 2);
  }
  EXPECT_EQ(child->GetRefCount(), 1);
  EXPECT_EQ(child->GetParent(), nullptr);
}

TEST_F(NodeTreeTest, PassesSkipADisabledChildWithItsWholeSubtree) {
  std::vector<std::string> trace;
  geTRefPtr<geCBaseNode> root = new geCTraceNode(nullptr, "root", &trace);
  auto* on = new geCTraceNode(root.Get(), "on", &trace);
  auto* off = new geCTraceNode(root.Get(), "off", &trace);
  auto* offKid = new geCTraceNode(off, "offKid", &trace);
  new geCTraceNode(on, "onKid", &trace);
  off->Disable(1, 0);
  ASSERT_TRUE(offKid->IsEnabled());

  geSUpdateArgument arg{1.0f, 0.1f};
  root->Update(&arg);
  root->Process(&arg);
  EXPECT_EQ(trace,
            (std::vector<std::string>{"U:root", "U:on", "U:onKid", "P:root", "P:on", "P:onKid"}));

  // The first processed frame clears the mark of every node it reached, and only those.
  EXPECT_EQ(root->IsFistTimeUpdate(), 0u);
  EXPECT_EQ(on->IsFistTimeUpdate(), 0u);
  EXPECT_EQ(on->GetNode(0)->IsFistTimeUpdate(), 0u);
  EXPECT_EQ(off->IsFistTimeUpdate(), 1u);
  EXPECT_EQ(offKid->IsFistTimeUpdate(), 1u);
}

TEST_F(NodeTreeTest, AChildRemovedDuringThePassIsNotFreedUnderIt) {
  // A node whose update takes itself out of its parent, as game code does for finished
  // effects: it must still be alive while its own update finishes.
  class geCLeavingNode : public geCBaseNode {
   public:
    geCLeavingNode(geCBaseNode* parent, int* updates) : geCBaseNode(parent), m_updates(updates) {}
    void Update(geSUpdateArgument* arg) override {
      GetParent()->RemoveChild(this);
      geCBaseNode::Update(arg);  // touches this node after the removal
      ++*m_updates;
    }

   private:
    int* m_updates;
  };
  int updates = 0;
  geTRefPtr<geCBaseNode> root = new geCBaseNode(nullptr);
  new geCLeavingNode(root.Get(), &updates);
  const int alive = g_nObjectsAlive;
  geSUpdateArgument arg{};
  root->Update(&arg);
  EXPECT_EQ(updates, 1);
  EXPECT_EQ(root->GetNodesCount(), 0u);
  EXPECT_EQ(g_nObjectsAlive, alive - kObjectsPerNode);
}

TEST_F(NodeTreeTest, EnableAndDisableWalks) {
  geTRefPtr<geCBaseNode> root = new geCBaseNode(nullptr);
  geCBaseNode* kid = new geCBaseNode(root.Get());
  geCBaseNode* grandKid = new geCBaseNode(kid);

  EXPECT_EQ(root->Disable(7), 0u);
  EXPECT_FALSE(root->IsEnabled());
  EXPECT_FALSE(kid->IsEnabled());
  EXPECT_FALSE(grandKid->IsEnabled());

  // (val, 0) touches this node only.
  EXPECT_EQ(root->Enable(7, 0), 1u);
  EXPECT_TRUE(root->IsEnabled());
  EXPECT_FALSE(kid->IsEnabled());

  // (val, 1) reaches the whole subtree through the one-argument form.
  root->Enable(7, 1);
  EXPECT_TRUE(kid->IsEnabled());
  EXPECT_TRUE(grandKid->IsEnabled());

  kid->Disable(7, 0);
  EXPECT_FALSE(kid->IsEnabled());
  EXPECT_TRUE(grandKid->IsEnabled());
  root->Enable(0);
  EXPECT_TRUE(kid->IsEnabled());
  // Other flag bits stay as they were.
  EXPECT_EQ(root->GetFlags(), geCBaseNode::kFlagEnabled);
}
