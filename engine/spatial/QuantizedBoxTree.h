#pragma once
// 16-bit boxes with a record for every leaf.
#include "spatial/BoxTreeLayout.h"

class CQuantizedBoxTree : public CQuantizedBoxTreeLayout<QuantizedBoxNode> {
 public:
  bool Build(const CSourceBoxTree* source) override;
};
