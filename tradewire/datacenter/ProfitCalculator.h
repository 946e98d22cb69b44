#pragma once
// The profit in US dollars of a closing deal against the position it closes. Runs on the
// processing thread; holds the account lock for the whole calculation and takes the
// instrument, currency and base-info locks inside it, one at a time. Every case that lacks
// data gives 0 rather than a failure: the caller still updates the balance and reports.

#include "datacenter/DataCenterAccess.h"

class CProfitCalculator {
  public:
    explicit CProfitCalculator(CDataCenterAccess center) : m_center(center) {}

    // Evaluated in double precision from the float fields, returned as float.
    float Profit(const CBargain& closing, const CBargain& open);

  private:
    // Currencies named by an instrument code, found in one pass over the currency list.
    struct CurrencyRoles {
        INT_PTR base = -1;    // code found at the start of the instrument code
        INT_PTR quote = -1;   // code found later in the instrument code
        INT_PTR dollar = -1;  // code equal to "USD", any letter case
        CString quoteCode;
        float dollarUsdRate = 0;
    };

    CurrencyRoles FindCurrencies(const CString& merchCode);
    // Turns a price in the instrument's quote currency into dollars; false when no way is known.
    bool ConversionFactor(const CurrencyRoles& roles, const CForexMerch& merch, double& factor);
    bool CrossRateFactor(const CString& quoteCode, double& factor);

    CDataCenterAccess m_center;
};
