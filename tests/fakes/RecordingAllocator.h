#pragma once
// An engine allocator over the heap that records every block it gives out and takes back, and
// can be told to refuse requests, so tests see leaks, double frees and the paths where memory
// runs out.
#include <cstdlib>
#include <set>
#include <vector>

#include "ZKDXInterface.h"

class CRecordingAllocator : public ZKAllocatorInterface {
 public:
  void* AllocateMemory(UINT size) override {
    requests.push_back(size);
    if (refuseFrom >= 0 && int(requests.size()) > refuseFrom) return nullptr;
    void* block = malloc(size ? size : 1);
    outstanding.insert(block);
    return block;
  }
  UINT DeleteMemory(void* pointer) override {
    if (!outstanding.erase(pointer)) {
      ++badFrees;
      return 0;
    }
    free(pointer);
    return 1;
  }
  ~CRecordingAllocator() {
    for (void* block : outstanding) free(block);
  }

  // Requests after this many succeed no more; -1 never refuses.
  int refuseFrom = -1;
  std::vector<UINT> requests;
  std::set<void*> outstanding;
  int badFrees = 0;
};
