#include "core/PointerList.h"

#include "core/FatalError.h"

CPointerList::~CPointerList() {
  while (m_head) {
    Node* next = m_head->next;
    delete m_head;
    m_head = next;
  }
}

int CPointerList::Add(void* value) {
  Node* node = NewOrFatal<Node>(kNoMemoryTitle, "Can't Allocate Memory For List Node", value,
                               nullptr, m_tail);
  if (m_tail)
    m_tail->next = node;
  else
    m_head = node;
  m_tail = node;
  return 1;
}

int CPointerList::Remove(void* value) {
  Node* node = Find(value);
  if (!node) return 0;
  if (node->previous)
    node->previous->next = node->next;
  else
    m_head = node->next;
  if (node->next)
    node->next->previous = node->previous;
  else
    m_tail = node->previous;
  delete node;
  return 1;
}

int CPointerList::Contains(void* value) const { return Find(value) ? 1 : 0; }

CPointerList::Node* CPointerList::Find(void* value) const {
  for (Node* node = m_head; node; node = node->next)
    if (node->value == value) return node;
  return nullptr;
}
