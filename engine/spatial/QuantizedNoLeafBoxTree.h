#pragma once
// 16-bit boxes without leaf records: the smallest layout.
#include "spatial/BoxTreeLayout.h"

class CQuantizedNoLeafBoxTree : public CQuantizedBoxTreeLayout<QuantizedNoLeafBoxNode> {
 public:
  bool Build(const CSourceBoxTree* source) override;
};
