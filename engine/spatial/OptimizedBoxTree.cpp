#include "spatial/OptimizedBoxTree.h"

bool COptimizedBoxTree::Refit(const CCollisionMeshInterface*) { return false; }
