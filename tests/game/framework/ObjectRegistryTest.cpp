#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "framework/BaseObject.h"
#include "framework/Properties.h"
#include "framework/RefPtr.h"

namespace {

// A node-like object that holds its children, as framework nodes do.
class geCTestNode : public geCBaseObject {
 public:
  size_t GetClassSize() const override { return sizeof(geCTestNode); }
  const char* GetClassName() const override { return "geCTestNode"; }
  bool IsKindOf(const char* szClassName) const override {
    return ClassNameIs(szClassName, "geCTestNode") || geCBaseObject::IsKindOf(szClassName);
  }

  geCTestNode* AddChild() {
    m_children.emplace_back(new geCTestNode);
    return m_children.back().Get();
  }

  std::vector<geTRefPtr<geCTestNode>> m_children;
};

// A class that answers with its base's name, as cursor classes do.
class geCTestLeaf : public geCTestNode {};

bool Listed(const TInternalBaseObject* object) {
  return std::find(g_lstAllObjects.begin(), g_lstAllObjects.end(), object) !=
         g_lstAllObjects.end();
}

// Built while the test program starts, before any test: the first framework object of the run.
DWORD IdOfFirstObject() {
  geCProperties first;
  return first.GetID();
}
const DWORD kFirstObjectID = IdOfFirstObject();

}  // namespace

TEST(ObjectRegistry, IdsFollowConstructionOrderFromZeroAndAreNeverReused) {
  EXPECT_EQ(kFirstObjectID, 0u);

  geTRefPtr<geCTestNode> first = new geCTestNode;
  const DWORD firstID = first->GetID();
  EXPECT_EQ(firstID, g_dwNextObjectID - 1);
  first.Reset();
  geTRefPtr<geCTestNode> second = new geCTestNode;
  EXPECT_EQ(second->GetID(), firstID + 1);
  EXPECT_EQ(g_dwNextObjectID, firstID + 2);
}

TEST(ObjectRegistry, LastReleaseDestroysAndUnlists) {
  const int alive = g_nObjectsAlive;
  geCTestNode* node = new geCTestNode;
  EXPECT_EQ(node->GetRefCount(), 0);
  EXPECT_EQ(g_nObjectsAlive, alive + 1);
  EXPECT_TRUE(Listed(node));

  geTRefPtr<geCTestNode> holder = node;
  {
    geTRefPtr<geCTestNode> second = holder;
    EXPECT_EQ(node->GetRefCount(), 2);
  }
  EXPECT_EQ(node->GetRefCount(), 1);
  EXPECT_EQ(g_nObjectsAlive, alive + 1);
  EXPECT_TRUE(Listed(node));

  holder.Reset();
  EXPECT_FALSE(holder);
  EXPECT_EQ(g_nObjectsAlive, alive);
  EXPECT_FALSE(Listed(node));

  // The count is signed: releasing an object nobody held destroys it as well.
  geCTestNode* unheld = new geCTestNode;
  unheld->Release();
  EXPECT_EQ(g_nObjectsAlive, alive);
  EXPECT_FALSE(Listed(unheld));
}

TEST(ObjectRegistry, AssigningTheHeldObjectChangesNothing) {
  geTRefPtr<geCTestNode> holder = new geCTestNode;
  geCTestNode* node = holder.Get();
  holder = node;
  EXPECT_EQ(node->GetRefCount(), 1);
  geTRefPtr<geCTestNode>& same = holder;
  holder = same;
  holder = std::move(same);
  EXPECT_EQ(holder.Get(), node);
  EXPECT_EQ(node->GetRefCount(), 1);
}

TEST(ObjectRegistry, AssignmentReleasesTheOldObjectAndHoldsTheNew) {
  const int alive = g_nObjectsAlive;
  geTRefPtr<geCTestNode> holder = new geCTestNode;
  geTRefPtr<geCTestNode> other = new geCTestNode;
  holder = other;
  EXPECT_EQ(g_nObjectsAlive, alive + 1);
  EXPECT_EQ(other->GetRefCount(), 2);

  geTRefPtr<geCTestNode> moved = std::move(other);
  EXPECT_FALSE(other);
  EXPECT_EQ(moved->GetRefCount(), 2);
}

// Replacing a parent by one of its children: the parent's release destroys its only other
// holder of the child, which must already be held here.
TEST(ObjectRegistry, ReplacingAParentByItsChildKeepsTheChild) {
  const int alive = g_nObjectsAlive;
  geTRefPtr<geCTestNode> holder = new geCTestNode;
  geCTestNode* child = holder->AddChild();
  child->AddChild();

  holder = child;
  EXPECT_EQ(holder.Get(), child);
  EXPECT_EQ(child->GetRefCount(), 1);
  EXPECT_EQ(g_nObjectsAlive, alive + 2);

  geTRefPtr<geCTestNode> grandchild = holder->m_children[0];
  holder = std::move(holder->m_children[0]);
  EXPECT_EQ(holder.Get(), grandchild.Get());
  EXPECT_EQ(grandchild->GetRefCount(), 2);
  EXPECT_EQ(g_nObjectsAlive, alive + 1);
}

TEST(ObjectRegistry, ReleasingATreeLeavesNothingAlive) {
  const int alive = g_nObjectsAlive;
  const size_t listed = g_lstAllObjects.size();
  geTRefPtr<geCTestNode> root = new geCTestNode;
  for (int branch = 0; branch < 3; ++branch) {
    geCTestNode* child = root->AddChild();
    for (int leaf = 0; leaf < 4; ++leaf) child->AddChild()->AddChild();
  }
  EXPECT_EQ(g_nObjectsAlive, alive + 1 + 3 * (1 + 4 * 2));
  root.Reset();
  EXPECT_EQ(g_nObjectsAlive, alive);
  EXPECT_EQ(g_lstAllObjects.size(), listed);
}

// Objects that are never released (a bag held by value, a plain delete) leave the list too, so it
// holds no pointer to freed memory and does not grow with them.
TEST(ObjectRegistry, ObjectsDestroyedWithoutReleaseLeaveTheList) {
  const int alive = g_nObjectsAlive;
  const size_t listed = g_lstAllObjects.size();
  for (int round = 0; round < 100; ++round) {
    geCProperties bag;
    delete new geCTestNode;
  }
  EXPECT_EQ(g_nObjectsAlive, alive);
  EXPECT_EQ(g_lstAllObjects.size(), listed);
}

TEST(ObjectRegistry, ClassIdentityByName) {
  geCProperties bag;
  geCTestNode node;
  geCTestLeaf leaf;
  EXPECT_STREQ(bag.GetClassName(), "geCBaseObject");
  EXPECT_STREQ(node.GetClassName(), "geCTestNode");
  EXPECT_STREQ(leaf.GetClassName(), "geCTestNode");
  EXPECT_EQ(bag.GetClassSize(), sizeof(geCProperties));
  EXPECT_EQ(node.GetClassSize(), sizeof(geCTestNode));

  struct Case {
    const geCBaseObject* object;
    const char* name;
    bool kind;
  };
  const Case cases[] = {
      {&bag, "geCBaseObject", true},    {&bag, "geCProperties", false},
      {&bag, "geCbaseObject", false},   {&bag, "geCBaseObject ", false},
      {&node, "geCTestNode", true},     {&node, "geCBaseObject", true},
      {&node, "geCtestNode", false},    {&node, "geCTest", false},
      {&leaf, "geCTestNode", true},     {&leaf, "geCBaseObject", true},
      {&node, nullptr, false},          {&node, "", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.object->IsKindOf(c.name), c.kind)
        << c.object->GetClassName() << " / " << (c.name ? c.name : "null");
}
