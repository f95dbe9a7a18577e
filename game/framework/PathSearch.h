#pragma once
// A best-first (A*) search over a grid of cells addressed by integer x and y. The caller supplies
// everything that knows the grid as callbacks (which cells may be entered, what a step costs, how
// far a cell is from the goal), so the search holds no map of its own. One object serves one
// search at a time: Reset, set the callbacks, the budget factor and the row length, Search, read
// the way back from the best node through its parents, FreeNodes.
#include <vector>

#include "framework/PathNode.h"

// The integer argument of the cost, heuristic and valid callbacks is always 0.
typedef double (*gePathCostCallback)(gePathNode* pParent, gePathNode* pChild, int nUnused,
                                     void* pData);
typedef double (*gePathHeuristicCallback)(gePathNode* pGoal, gePathNode* pNode, int nUnused,
                                          void* pData);
// Nonzero when the candidate cell may be entered from the parent.
typedef int (*gePathValidCallback)(gePathNode* pParent, gePathNode* pCandidate, int nUnused,
                                   void* pData);
// Told of links (child notify) and of list changes (list notify); the result is ignored.
typedef int (*gePathNotifyCallback)(gePathNode* pOther, gePathNode* pNode, int nCode, void* pData);

class geCPathSearch {
 public:
  // Child notify codes.
  static constexpr int kChildStart = 0;
  static constexpr int kChildOpenCheaper = 1;
  static constexpr int kChildOpenNotCheaper = 2;
  static constexpr int kChildClosedCheaper = 3;
  static constexpr int kChildClosedNotCheaper = 4;
  static constexpr int kChildNew = 5;
  // List notify codes.
  static constexpr int kListInsertedAfter = 0;
  static constexpr int kListNewHead = 1;
  static constexpr int kListTakenFromOpen = 2;
  static constexpr int kListClosed = 3;
  // A search takes at most this many steps per unit of the budget factor.
  static constexpr unsigned kStepsPerBudgetUnit = 20;

  geCPathSearch() { Reset(); }
  ~geCPathSearch() { FreeNodes(); }
  geCPathSearch(const geCPathSearch&) = delete;
  geCPathSearch& operator=(const geCPathSearch&) = delete;

  // Clears the goal (−1, −1), the lists, the best node and all five callbacks. Nodes of an
  // earlier search must have been freed.
  void Reset();
  // True when the goal was taken from the open list within the budget; the best node is then
  // the goal's node. Otherwise the best node is null. The nodes stay until FreeNodes.
  bool Search(int nStartX, int nStartY, int nGoalX, int nGoalY);
  // Frees every node of the open list, then of the closed list.
  void FreeNodes();
  // Nodes made by this search and not freed yet; each lies in the open or the closed list.
  int GetNodeCount() const { return m_nNodes; }

  gePathCostCallback pfnCost = nullptr;
  gePathHeuristicCallback pfnHeuristic = nullptr;
  gePathValidCallback pfnValid = nullptr;
  gePathNotifyCallback pfnChildNotify = nullptr;
  gePathNotifyCallback pfnListNotify = nullptr;
  void* pCallbackData = nullptr;
  void* pNotifyData = nullptr;
  unsigned dwStepBudgetFactor = 0;
  int nRowLength = 0;
  int nStartX = 0, nStartY = 0;
  int nGoalX = -1, nGoalY = -1;
  int nGoalNumber = 0;
  // What the heuristic receives as the goal: its x, y and number.
  gePathNode goalNode;
  // Ordered by rising f.
  gePathNode* pOpen = nullptr;
  // Newest first.
  gePathNode* pClosed = nullptr;
  gePathNode* pBest = nullptr;

 private:
  enum class StepResult { kContinue, kFound, kFailed };

  void StepInitialize(int nSX, int nSY, int nDX, int nDY);
  StepResult Step();
  void CreateChildren(gePathNode* pNode);
  void LinkChild(gePathNode* pParent, int nX, int nY);
  void AddToOpen(gePathNode* pNode);
  void UpdateParents(gePathNode* pNode);
  // Re-parents the child onto the node when that is strictly cheaper; true when it was.
  bool Relax(gePathNode* pNode, gePathNode* pChild);
  static void Reparent(gePathNode* pNode, gePathNode* pParent, double g);

  double Cost(gePathNode* pParent, gePathNode* pChild);
  double Heuristic(gePathNode* pNode);
  void NotifyChild(gePathNode* pParent, gePathNode* pNode, int nCode);
  void NotifyList(gePathNode* pNeighbour, gePathNode* pNode, int nCode);
  int NumberOf(int nX, int nY) const { return nY * nRowLength + nX; }
  gePathNode* NewNode(const gePathNode& cell);
  static gePathNode* FindInList(gePathNode* pList, int nNumber);
  static void AppendChild(gePathNode* pParent, gePathNode* pChild);

  // Nodes whose cheaper cost still has to reach their children; last in, first out.
  std::vector<gePathNode*> m_vStack;
  int m_nNodes = 0;
};
