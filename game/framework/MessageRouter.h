#pragma once
// Messages between the core, the nodes and the scripts, addressed by object id. Posted messages
// wait in posting order and are delivered once per frame, after the frame's game step.
#include <windef.h>

#include <deque>

#include "framework/InternalBaseObject.h"
#include "framework/Message.h"

class geCGameCore;

class geCMessageRouter : public TInternalBaseObject {
 public:
  // Messages posted while delivering are delivered in the same call up to this many; the rest
  // wait, in order, for the next frame, so a handler that posts on every delivery cannot hold
  // the frame for ever.
  static constexpr size_t kMaxPostedDuringDelivery = 1024;

  // The core whose timer stamps the messages, whose id names it as a receiver and whose root
  // node holds the other receivers.
  explicit geCMessageRouter(geCGameCore* pCore);
  size_t GetClassSize() const override;

  // The name is copied with a limit of 255 characters and always terminated.
  void PostMessage(const char* szName, DWORD dwSender, DWORD dwReceiver, DWORD dwMessageID,
                   DWORD dwData);
  // Delivers the queued messages in order to the core or to the node with the receiver's id;
  // a receiver found nowhere drops its message.
  void DeliverMessages();

  size_t GetQueuedCount() const { return m_Queue.size(); }

 private:
  geCGameCore* m_pCore;
  std::deque<geMessage> m_Queue;
};
