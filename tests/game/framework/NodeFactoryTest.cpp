#include <gtest/gtest.h>

#include "NodeFixture.h"
#include "framework/NodeFactory.h"

namespace {

using NodeFactoryTest = NodeFixture;

// A node class of its own name that answers to its base's names too.
class geCTestObject : public geCBaseNode {
 public:
  using geCBaseNode::geCBaseNode;
  size_t GetClassSize() const override { return sizeof(geCTestObject); }
  const char* GetClassName() const override { return "geCTestObject"; }
  bool IsKindOf(const char* name) const override {
    return ClassNameIs(name, "geCTestObject") || geCBaseNode::IsKindOf(name);
  }
};

}  // namespace

TEST_F(NodeFactoryTest, FirstRegistrationWinsAndNamesAreCaseSensitive) {
  // "Node" is registered by the fixture.
  EXPECT_FALSE(RegisterNodeType<geCTestObject>("Node"));
  EXPECT_TRUE(RegisterNodeType<geCTestObject>("TestObject"));
  EXPECT_FALSE(RegisterNodeType<geCBaseNode>("TestObject"));
  EXPECT_FALSE(RegisterNodeType<geCBaseNode>(nullptr));
  EXPECT_EQ(g_mapNodeFactory.size(), 2u);

  struct Case {
    const char* type;
    const char* className;  // null: nothing is built
  };
  const Case cases[] = {
      {"Node", "geCBaseNode"}, {"TestObject", "geCTestObject"},
      {"node", nullptr},       {"NODE", nullptr},
      {"Node ", nullptr},      {"", nullptr},
      {nullptr, nullptr},
  };
  for (const Case& c : cases) {
    geTRefPtr<geCBaseNode> node = CreateNode(c.type, nullptr);
    if (!c.className) {
      EXPECT_EQ(node.Get(), nullptr) << (c.type ? c.type : "null");
      continue;
    }
    ASSERT_NE(node.Get(), nullptr) << c.type;
    EXPECT_STREQ(node->GetClassName(), c.className);
  }
  geTRefPtr<geCBaseNode> object = CreateNode("TestObject", nullptr);
  EXPECT_TRUE(object->IsKindOf("geCBaseNode"));
}

TEST_F(NodeFactoryTest, ANodeBuiltUnderAParentIsHeldByIt) {
  geTRefPtr<geCBaseNode> root = new geCBaseNode(nullptr);
  root->SetName("root");
  geCBaseNode* child = CreateNode("Node", root.Get());
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(root->GetNodesCount(), 1u);
  EXPECT_EQ(root->GetNode(0), child);
  EXPECT_EQ(child->GetRefCount(), 1);
  const std::string log = Read("GameEngine.log");
  const std::string ids = "(id=" + std::to_string(root->GetID()) + ")";
  EXPECT_NE(log.find("- Creating Node as child of 'root'" + ids +
                     ", id=" + std::to_string(child->GetID()) + "\n"),
            std::string::npos);
  EXPECT_NE(log.find("- Added child ''(id=" + std::to_string(child->GetID()) + ") to node 'root'" +
                     ids + "\n"),
            std::string::npos);

  // Without a parent nobody holds it yet: the caller takes it.
  geCBaseNode* loose = CreateNode("Node", nullptr);
  EXPECT_EQ(loose->GetRefCount(), 0);
  geTRefPtr<geCBaseNode> taken = loose;
}
