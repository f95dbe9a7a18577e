// Message routing between the core and the nodes of its tree, on a started core.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "GameCoreFixture.h"
#include "framework/BaseNode.h"

namespace {

// A node that keeps what it receives and may post again from its handler.
class ListeningNode : public geCBaseNode {
 public:
  using geCBaseNode::geCBaseNode;
  void ProcessMessage(geMessage* message) override {
    received.push_back(message->MessageID);
    names.emplace_back(message->pszName);
    times.push_back(message->fPostTime);
    if (onMessage) onMessage(*message);
  }
  std::vector<DWORD> received;
  std::vector<std::string> names;
  std::vector<float> times;
  std::function<void(const geMessage&)> onMessage;
};

}  // namespace

class MessageRouterTest : public GameCoreTest {
 protected:
  void SetUp() override {
    GameCoreTest::SetUp();
    StartCore();
    m_node = new ListeningNode(m_core->GetRootNode());
    m_router = m_core->GetMessageRouter();
  }
  ListeningNode* m_node = nullptr;
  geCMessageRouter* m_router = nullptr;
};

TEST_F(MessageRouterTest, DeliversByIdInOrderAndDropsUnknownReceivers) {
  const DWORD node = m_node->GetID(), core = m_core->GetID();
  ZkTestClockAdvance(1500000);
  m_router->PostMessage("first", core, node, 1, 10);
  m_router->PostMessage("lost", node, 0xFFFFFF, 2, 0);
  m_router->PostMessage("to core", node, core, 3, 0);
  m_router->PostMessage("second", core, node, 4, 0);
  m_router->DeliverMessages();
  EXPECT_EQ(m_node->received, (std::vector<DWORD>{1, 4}));
  EXPECT_EQ(m_node->names[0], "first");
  EXPECT_NEAR(m_node->times[0], 1.5f, 1e-4f);
  ASSERT_EQ(m_core->received.size(), 1u);
  EXPECT_EQ(m_core->received[0].second, 3u);
  EXPECT_EQ(m_router->GetQueuedCount(), 0u);
}

TEST_F(MessageRouterTest, LongNamesStayTerminated) {
  const std::string longName(300, 'x');
  m_router->PostMessage(longName.c_str(), 0, m_node->GetID(), 1, 0);
  m_router->DeliverMessages();
  ASSERT_EQ(m_node->names.size(), 1u);
  EXPECT_EQ(m_node->names[0], std::string(255, 'x'));
}

TEST_F(MessageRouterTest, MessagesPostedWhileDeliveringFollowWithinABound) {
  const DWORD node = m_node->GetID();
  // Each delivery posts the next: the chain runs on in this call up to the bound and the rest
  // waits for the next delivery, in order.
  m_node->onMessage = [&](const geMessage& message) {
    m_router->PostMessage("again", node, node, message.MessageID + 1, 0);
  };
  m_router->PostMessage("start", node, node, 0, 0);
  m_router->PostMessage("queued", node, node, 1000000, 0);
  m_router->DeliverMessages();
  const size_t bound = 2 + geCMessageRouter::kMaxPostedDuringDelivery;
  ASSERT_EQ(m_node->received.size(), bound);
  EXPECT_EQ(m_node->received[1], 1000000u);  // queued before delivery: ahead of the chain
  EXPECT_EQ(m_node->received[2], 1u);
  // Every delivery posted one: the last two posted wait, and come next in posting order.
  EXPECT_EQ(m_router->GetQueuedCount(), 2u);
  m_node->onMessage = nullptr;
  m_router->DeliverMessages();
  ASSERT_EQ(m_node->received.size(), bound + 2);
  EXPECT_EQ(m_node->received[bound], m_node->received[bound - 2] + 1);
  EXPECT_EQ(m_node->received[bound + 1], m_node->received[bound - 1] + 1);
}
