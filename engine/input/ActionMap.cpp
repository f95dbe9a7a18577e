#include "input/ActionMap.h"

#include <new>

bool CActionMap::Set(const ActionPair* pairs, uint32_t count) {
  m_pairs.clear();
  if (pairs == nullptr || count == 0) return true;
  // The count is the caller's: one too large fails the call and leaves the map empty.
  try {
    m_pairs.assign(pairs, pairs + count);
  } catch (const std::bad_alloc&) {
    m_pairs.clear();
    return false;
  }
  return true;
}

const ActionPair* CActionMap::FindAction(uint32_t action) const {
  for (const ActionPair& pair : m_pairs)
    if (pair.dwAction == action) return &pair;
  return nullptr;
}
