#include "DealMerge.h"

void CDealMerge::Apply(const CBargain& /*deal*/) {}
