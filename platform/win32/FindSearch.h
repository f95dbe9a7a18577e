#pragma once
// A file search made by FindFirstFileA: every match taken at the start, in the order FindNextFileA
// hands them out, so that the order is stable whatever the folder does meanwhile.
#include <vector>

#include "KernelObject.h"

class FindSearch : public KernelObject {
 public:
  explicit FindSearch(std::vector<WIN32_FIND_DATAA> matches) : m_matches(std::move(matches)) {}

  // Copies the next match out; false when none is left.
  bool Next(WIN32_FIND_DATAA& out);

 private:
  std::vector<WIN32_FIND_DATAA> m_matches;
  size_t m_next = 0;
};
