#include "OrderMerge.h"

void COrderMerge::Apply(const COrderInfo& /*order*/) {}
