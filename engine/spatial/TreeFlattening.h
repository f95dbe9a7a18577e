#pragma once
// Copies a complete source tree into float records, numbering every subtree before its
// parent's next sibling, so that children always lie after their parent.
#include "spatial/BoxTreeNodes.h"

class CSourceBoxTree;

// 2n - 1 records: leaves hold their triangle, a parent the first of two adjacent children.
void FlattenWithLeaves(const CSourceBoxTree& source, BoxTreeNode* records);
// n - 1 records: each link is a child record or, for a leaf child, its triangle.
void FlattenWithoutLeaves(const CSourceBoxTree& source, NoLeafBoxNode* records);
