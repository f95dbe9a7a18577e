#pragma once
// One cell reached by a grid search: its costs, its place in the open or closed list, the
// neighbour it is best reached from and every neighbour linked from it.

struct gePathNode {
  static constexpr int kMaxChildren = 8;

  // g + h.
  double f = 0.0;
  // Cost from the start along the parent links.
  double g = 0.0;
  // The estimate to the goal, fixed when the node is made.
  double h = 0.0;
  int x = 0, y = 0;
  int nChildCount = 0;
  // y × row length + x.
  int nNumber = 0;
  // Null for the start node.
  gePathNode* pParent = nullptr;
  // Link in the open or the closed list.
  gePathNode* pNext = nullptr;
  // A node is expanded at most once, so it links at most its eight neighbours.
  gePathNode* apChildren[kMaxChildren] = {};
  void* pUserData = nullptr;
};
