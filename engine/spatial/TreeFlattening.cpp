#include "spatial/TreeFlattening.h"

#include "spatial/SourceBoxTree.h"

namespace {

class LeafFlattener {
 public:
  explicit LeafFlattener(BoxTreeNode* records) : m_records(records) {}

  void Copy(const CSourceBoxNode& source, UINT index) {
    const CSourceBoxNode* node = &source;
    for (;;) {
      BoxTreeNode& record = m_records[index];
      record.box = node->box;
      if (!node->HasChildren()) {
        record.dwLink = LeafLink(node->GetPrimitives()[0]);
        return;
      }
      const UINT first = m_counter;
      m_counter += 2;
      record.dwLink = RecordLink(first);
      Copy(*node->GetFirstChild(), first);
      node = node->GetSecondChild();
      index = first + 1;
    }
  }

 private:
  BoxTreeNode* m_records;
  UINT m_counter = 1;
};

class NoLeafFlattener {
 public:
  explicit NoLeafFlattener(NoLeafBoxNode* records) : m_records(records) {}

  // `source` always has children: leaf children become triangle links.
  void Copy(const CSourceBoxNode& source, UINT index) {
    NoLeafBoxNode& record = m_records[index];
    record.box = source.box;
    record.dwPositiveLink = Link(*source.GetFirstChild());
    record.dwNegativeLink = Link(*source.GetSecondChild());
  }

 private:
  UINT Link(const CSourceBoxNode& child) {
    if (!child.HasChildren()) return LeafLink(child.GetPrimitives()[0]);
    const UINT index = m_counter++;
    Copy(child, index);
    return RecordLink(index);
  }

  NoLeafBoxNode* m_records;
  UINT m_counter = 1;
};

}  // namespace

void FlattenWithLeaves(const CSourceBoxTree& source, BoxTreeNode* records) {
  LeafFlattener(records).Copy(source.GetRoot(), 0);
}

void FlattenWithoutLeaves(const CSourceBoxTree& source, NoLeafBoxNode* records) {
  NoLeafFlattener(records).Copy(source.GetRoot(), 0);
}
