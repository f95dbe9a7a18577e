#include "framework/InternalBaseObject.h"

namespace {

std::list<TInternalBaseObject*>& AllObjects() {
  // Never destroyed: objects with static storage may still leave it as the program exits.
  static auto* const objects = new std::list<TInternalBaseObject*>;
  return *objects;
}

}  // namespace

DWORD g_dwNextObjectID = 0;
int g_nObjectsAlive = 0;
std::list<TInternalBaseObject*>& g_lstAllObjects = AllObjects();

TInternalBaseObject::TInternalBaseObject() : m_dwObjectID(g_dwNextObjectID++) {
  ++g_nObjectsAlive;
  m_itListEntry = AllObjects().insert(AllObjects().end(), this);
  m_bListed = true;
}

TInternalBaseObject::~TInternalBaseObject() {
  // An object destroyed without a release (a member, a plain delete) takes its entry along too,
  // so the list never keeps a pointer to freed memory nor grows with such objects.
  Unlist();
  --g_nObjectsAlive;
}

void TInternalBaseObject::Release() {
  if (--m_nRefCount >= 1) return;
  Unlist();
  delete this;
}

void TInternalBaseObject::Unlist() {
  if (!m_bListed) return;
  AllObjects().erase(m_itListEntry);
  m_bListed = false;
}
