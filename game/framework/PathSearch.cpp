#include "framework/PathSearch.h"

#include <utility>

void geCPathSearch::Reset() {
  // Nodes left from an earlier search would otherwise be lost with the lists.
  FreeNodes();
  nGoalX = nGoalY = -1;
  goalNode = gePathNode();
  pOpen = pClosed = pBest = nullptr;
  m_vStack.clear();
  pfnCost = nullptr;
  pfnHeuristic = nullptr;
  pfnValid = nullptr;
  pfnChildNotify = nullptr;
  pfnListNotify = nullptr;
}

void geCPathSearch::FreeNodes() {
  for (gePathNode* pList : {pOpen, pClosed})
    while (pList) {
      delete std::exchange(pList, pList->pNext);
      --m_nNodes;
    }
  pOpen = pClosed = pBest = nullptr;
  m_vStack.clear();
}

bool geCPathSearch::Search(int nSX, int nSY, int nDX, int nDY) {
  StepInitialize(nSX, nSY, nDX, nDY);
  const unsigned long long budget =
      static_cast<unsigned long long>(kStepsPerBudgetUnit) * dwStepBudgetFactor;
  StepResult result = StepResult::kContinue;
  for (unsigned long long step = 0; step < budget && result == StepResult::kContinue; ++step)
    result = Step();
  if (result == StepResult::kFound) return true;
  pBest = nullptr;
  return false;
}

void geCPathSearch::StepInitialize(int nSX, int nSY, int nDX, int nDY) {
  FreeNodes();
  nStartX = nSX;
  nStartY = nSY;
  nGoalX = nDX;
  nGoalY = nDY;
  nGoalNumber = NumberOf(nDX, nDY);
  goalNode.x = nDX;
  goalNode.y = nDY;
  goalNode.nNumber = nGoalNumber;
  gePathNode cell;
  cell.x = nSX;
  cell.y = nSY;
  cell.nNumber = NumberOf(nSX, nSY);
  gePathNode* pStart = NewNode(cell);
  pStart->g = 0.0;
  pStart->h = Heuristic(pStart);
  pStart->f = pStart->g + pStart->h;
  pOpen = pStart;
  NotifyList(nullptr, pStart, kListNewHead);
  NotifyChild(nullptr, pStart, kChildStart);
}

geCPathSearch::StepResult geCPathSearch::Step() {
  if (!pOpen) return StepResult::kFailed;
  gePathNode* pNode = pOpen;
  pOpen = pNode->pNext;
  NotifyList(nullptr, pNode, kListTakenFromOpen);
  pNode->pNext = pClosed;
  pClosed = pNode;
  NotifyList(nullptr, pNode, kListClosed);
  pBest = pNode;
  if (pNode->nNumber == nGoalNumber) return StepResult::kFound;
  CreateChildren(pNode);
  return StepResult::kContinue;
}

void geCPathSearch::CreateChildren(gePathNode* pNode) {
  for (int nOffsetX = -1; nOffsetX <= 1; ++nOffsetX)
    for (int nOffsetY = -1; nOffsetY <= 1; ++nOffsetY) {
      if (nOffsetX == 0 && nOffsetY == 0) continue;
      gePathNode candidate;
      candidate.x = pNode->x + nOffsetX;
      candidate.y = pNode->y + nOffsetY;
      candidate.nNumber = NumberOf(candidate.x, candidate.y);
      if (pfnValid && pfnValid(pNode, &candidate, 0, pCallbackData) == 0) continue;
      LinkChild(pNode, candidate.x, candidate.y);
    }
}

void geCPathSearch::LinkChild(gePathNode* pParent, int nX, int nY) {
  gePathNode candidate;
  candidate.x = nX;
  candidate.y = nY;
  candidate.nNumber = NumberOf(nX, nY);
  const double g = pParent->g + Cost(pParent, &candidate);

  if (gePathNode* pOpenNode = FindInList(pOpen, candidate.nNumber)) {
    AppendChild(pParent, pOpenNode);
    // An open node keeps its place in the list even when its f falls.
    if (g < pOpenNode->g) {
      Reparent(pOpenNode, pParent, g);
      NotifyChild(pParent, pOpenNode, kChildOpenCheaper);
    } else {
      NotifyChild(pParent, pOpenNode, kChildOpenNotCheaper);
    }
    return;
  }
  if (gePathNode* pClosedNode = FindInList(pClosed, candidate.nNumber)) {
    AppendChild(pParent, pClosedNode);
    // A closed node is never opened again; its cheaper cost is passed down to its children.
    if (g < pClosedNode->g) {
      Reparent(pClosedNode, pParent, g);
      NotifyChild(pParent, pClosedNode, kChildClosedCheaper);
      UpdateParents(pClosedNode);
    } else {
      NotifyChild(pParent, pClosedNode, kChildClosedNotCheaper);
    }
    return;
  }
  gePathNode* pNew = NewNode(candidate);
  pNew->pParent = pParent;
  pNew->g = g;
  pNew->h = Heuristic(pNew);
  pNew->f = g + pNew->h;
  AddToOpen(pNew);
  AppendChild(pParent, pNew);
  NotifyChild(pParent, pNew, kChildNew);
}

void geCPathSearch::AddToOpen(gePathNode* pNode) {
  if (!pOpen) {
    pNode->pNext = nullptr;
    pOpen = pNode;
    NotifyList(nullptr, pNode, kListNewHead);
    return;
  }
  // Before the first node of equal or greater f: among equal f the newest is taken first.
  gePathNode* pBefore = nullptr;
  gePathNode* pAt = pOpen;
  while (pAt && pAt->f < pNode->f) {
    pBefore = pAt;
    pAt = pAt->pNext;
  }
  pNode->pNext = pAt;
  if (!pBefore) {
    gePathNode* pFormerHead = pOpen;
    pOpen = pNode;
    NotifyList(pFormerHead, pNode, kListNewHead);
  } else {
    pBefore->pNext = pNode;
    NotifyList(pBefore, pNode, kListInsertedAfter);
  }
}

bool geCPathSearch::Relax(gePathNode* pNode, gePathNode* pChild) {
  const double g = pNode->g + Cost(pNode, pChild);
  if (!(g < pChild->g)) return false;
  Reparent(pChild, pNode, g);
  return true;
}

void geCPathSearch::Reparent(gePathNode* pNode, gePathNode* pParent, double g) {
  pNode->pParent = pParent;
  pNode->g = g;
  pNode->f = g + pNode->h;
}

void geCPathSearch::UpdateParents(gePathNode* pNode) {
  m_vStack.clear();
  for (int i = 0; i < pNode->nChildCount; ++i)
    if (Relax(pNode, pNode->apChildren[i])) m_vStack.push_back(pNode->apChildren[i]);
  while (!m_vStack.empty()) {
    gePathNode* pParent = m_vStack.back();
    m_vStack.pop_back();
    for (int i = 0; i < pParent->nChildCount; ++i)
      if (Relax(pParent, pParent->apChildren[i])) m_vStack.push_back(pParent->apChildren[i]);
  }
}

double geCPathSearch::Cost(gePathNode* pParent, gePathNode* pChild) {
  return pfnCost ? pfnCost(pParent, pChild, 0, pCallbackData) : 1.0;
}

double geCPathSearch::Heuristic(gePathNode* pNode) {
  return pfnHeuristic ? pfnHeuristic(&goalNode, pNode, 0, pCallbackData) : 1.0;
}

void geCPathSearch::NotifyChild(gePathNode* pParent, gePathNode* pNode, int nCode) {
  if (pfnChildNotify) pfnChildNotify(pParent, pNode, nCode, pNotifyData);
}

void geCPathSearch::NotifyList(gePathNode* pNeighbour, gePathNode* pNode, int nCode) {
  if (pfnListNotify) pfnListNotify(pNeighbour, pNode, nCode, pNotifyData);
}

gePathNode* geCPathSearch::NewNode(const gePathNode& cell) {
  ++m_nNodes;
  return new gePathNode(cell);
}

gePathNode* geCPathSearch::FindInList(gePathNode* pList, int nNumber) {
  for (; pList; pList = pList->pNext)
    if (pList->nNumber == nNumber) return pList;
  return nullptr;
}

void geCPathSearch::AppendChild(gePathNode* pParent, gePathNode* pChild) {
  if (pParent->nChildCount < gePathNode::kMaxChildren)
    pParent->apChildren[pParent->nChildCount++] = pChild;
}
