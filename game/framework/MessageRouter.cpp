#include "framework/MessageRouter.h"

#include <cstring>

#include "framework/BaseNode.h"
#include "framework/GameCore.h"

geCMessageRouter::geCMessageRouter(geCGameCore* pCore) : m_pCore(pCore) {}

size_t geCMessageRouter::GetClassSize() const { return sizeof(geCMessageRouter); }

void geCMessageRouter::PostMessage(const char* szName, DWORD dwSender, DWORD dwReceiver,
                                   DWORD dwMessageID, DWORD dwData) {
  geMessage message;
  memset(&message, 0, sizeof message);
  if (szName) strncpy(message.pszName, szName, sizeof message.pszName - 1);
  message.SenderID = dwSender;
  message.ReceiverID = dwReceiver;
  message.MessageID = dwMessageID;
  message.dwData = dwData;
  message.fPostTime = m_pCore->GetGameTime();
  m_Queue.push_back(message);
}

void geCMessageRouter::DeliverMessages() {
  size_t nLeft = m_Queue.size() + kMaxPostedDuringDelivery;
  while (!m_Queue.empty() && nLeft-- > 0) {
    // Handlers may post, which grows the queue under us: deliver a copy taken off the queue.
    geMessage message = m_Queue.front();
    m_Queue.pop_front();
    if (message.ReceiverID == m_pCore->GetID()) {
      m_pCore->ProcessMessage(&message);
      continue;
    }
    geCBaseNode* pRoot = m_pCore->GetRootNode();
    if (geCBaseNode* pNode = pRoot ? pRoot->GetNodeByID(message.ReceiverID) : nullptr)
      pNode->ProcessMessage(&message);
  }
}
