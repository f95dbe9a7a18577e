#pragma once
// What the four tree layouts share: the owned array of their records, its byte count and the
// walk over it. Layouts with leaf records keep a leaf's triangle in its one link and put a
// record's two children side by side; layouts without them keep two links per record.
#include <memory>

#include "core/FatalError.h"
#include "spatial/BoxTreeNodes.h"
#include "spatial/OptimizedBoxTree.h"
#include "spatial/SourceBoxTree.h"
#include "spatial/TreeQuantization.h"

template <typename Record>
concept LeafRecordLayout = requires(const Record& record) { record.dwLink; };

template <typename Record>
class CBoxTreeLayout : public COptimizedBoxTree {
 public:
  bool Walk(NodeCallback callback, void* userData) const override {
    if (callback == nullptr) return false;
    if (m_dwNodeCount != 0) WalkFrom(0, callback, userData);
    return true;
  }
  UINT GetUsedBytes() const override { return m_dwNodeCount * sizeof(Record); }

  const Record* GetNodes() const { return m_nodes.get(); }

 protected:
  // `count` records made by `flatten` from a complete source tree; an array of that size is
  // reused.
  bool BuildFlat(const CSourceBoxTree* source, UINT count,
                 void (*flatten)(const CSourceBoxTree&, Record*)) {
    if (source == nullptr || !source->IsComplete() || count == 0) return false;
    if (!AllocateNodes(count, true)) return false;
    flatten(*source, m_nodes.get());
    return true;
  }

  // A fresh array of `count` records unless the current one has that size already.
  bool AllocateNodes(UINT count, bool reuse) {
    if (reuse && m_nodes && count == m_dwNodeCount) return true;
    m_nodes.reset();
    m_dwNodeCount = 0;
    m_nodes.reset(NewArrayOrFatal<Record>(kNoMemoryTitle, "Can't Allocate Memory For Box Tree", count));
    m_dwNodeCount = count;
    return true;
  }

  std::unique_ptr<Record[]> m_nodes;

 private:
  // Recurses on the first child and loops on the second.
  void WalkFrom(UINT index, NodeCallback callback, void* userData) const {
    for (;;) {
      const Record& node = m_nodes[index];
      if (!callback(&node, userData)) return;
      if constexpr (LeafRecordLayout<Record>) {
        if (node.IsLeaf()) return;
        const UINT first = LinkRecord(node.dwLink);
        WalkFrom(first, callback, userData);
        index = first + 1;
      } else {
        if (!IsLeafLink(node.dwPositiveLink))
          WalkFrom(LinkRecord(node.dwPositiveLink), callback, userData);
        if (IsLeafLink(node.dwNegativeLink)) return;
        index = LinkRecord(node.dwNegativeLink);
      }
    }
  }
};

// The quantized layouts add the coefficients that decode their boxes, and build by flattening
// into float records first.
template <typename Record>
class CQuantizedBoxTreeLayout : public CBoxTreeLayout<Record> {
 public:
  const Dequantization& GetDequantization() const { return m_dequantization; }

 protected:
  // `count` float records made by `flatten` from a complete source tree, then quantized into a
  // fresh array.
  template <typename FloatRecord>
  bool BuildQuantized(const CSourceBoxTree* source, UINT count,
                      void (*flatten)(const CSourceBoxTree&, FloatRecord*)) {
    this->m_nodes.reset();
    this->m_dwNodeCount = 0;
    if (source == nullptr || !source->IsComplete() || count == 0) return false;
    std::unique_ptr<FloatRecord[]> flat(
        NewArrayOrFatal<FloatRecord>(kNoMemoryTitle, "Can't Allocate Memory For Box Tree", count));
    flatten(*source, flat.get());
    if (!this->AllocateNodes(count, false)) return false;
    QuantizeRecords(flat.get(), count, this->m_nodes.get(), m_dequantization);
    return true;
  }

  Dequantization m_dequantization;
};
