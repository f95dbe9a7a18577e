#include "FindSearch.h"

bool FindSearch::Next(WIN32_FIND_DATAA& out) {
  if (m_next >= m_matches.size()) return false;
  out = m_matches[m_next++];
  return true;
}
