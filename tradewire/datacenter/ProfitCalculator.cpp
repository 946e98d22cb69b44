#include "datacenter/ProfitCalculator.h"

#include "datacenter/InstrumentLookup.h"
#include "platform/FloatRange.h"
#include "tradewire/TradeCodes.h"

namespace {

constexpr float kBaseRateSwitchMidPrice = 0.1f;

double QuoteSum(const CForexMerch& merch) {
    return static_cast<double>(merch.RealtimePrice.Ask) + merch.RealtimePrice.Bid;
}

// Dollars per unit of the instrument's quote currency when the dollar is its base currency.
double InverseMidFactor(const CForexMerch& merch) {
    return 2.0 * merch.PriceUnit / QuoteSum(merch);
}

}  // namespace

float CProfitCalculator::Profit(const CBargain& closing, const CBargain& open) {
    CScopedLock accountGuard(m_center.AccountInfoLock());
    CInstrumentLookup lookup(m_center);
    CForexMerch merch;
    if (!lookup.Find(closing.MerchCode, merch)) {
        return 0;
    }
    const CurrencyRoles roles = FindCurrencies(closing.MerchCode);
    if (roles.dollar < 0) {
        return 0;
    }
    // A buy closes a sell position, which gains as the price falls. Two prices far apart on
    // either side of 0 differ by more than a float holds.
    const float difference = closing.Direction == tradewire::kBuy
                                 ? FloatOrZero(static_cast<double>(open.Price) - closing.Price)
                                 : FloatOrZero(static_cast<double>(closing.Price) - open.Price);
    double factor = 0;
    if (!ConversionFactor(roles, merch, factor)) {
        return 0;
    }
    const double profit = static_cast<double>(difference) / merch.PriceUnit * closing.Lots *
                          merch.ProfitFactor * factor * roles.dollarUsdRate / merch.ProfitDivisor;
    // A zero price unit, divisor or quote would otherwise carry an infinity or NaN into the
    // fund balance, where every later deal would keep it; such a deal lacks data like the
    // cases above. So does a profit beyond the float range.
    return FloatOrZero(profit);
}

CProfitCalculator::CurrencyRoles CProfitCalculator::FindCurrencies(const CString& merchCode) {
    CurrencyRoles roles;
    CScopedLock guard(m_center.CurrencysLock());
    const CCurrencyArray& currencys = m_center.Currencys();
    for (INT_PTR i = 0; i < currencys.GetSize(); ++i) {
        const CCurrency& currency = currencys[i];
        const int position = merchCode.Find(currency.CurrencyCode);
        if (position == 0) {
            roles.base = i;
        } else if (position > 0) {
            roles.quote = i;
            roles.quoteCode = currency.CurrencyCode;
        }
        if (currency.CurrencyCode.CompareNoCase(L"USD") == 0) {
            roles.dollar = i;
            roles.dollarUsdRate = currency.UsdRate;
        }
    }
    return roles;
}

bool CProfitCalculator::ConversionFactor(const CurrencyRoles& roles, const CForexMerch& merch,
                                         double& factor) {
    if (roles.quote >= 0 && roles.quote == roles.dollar) {
        factor = 1;
        return true;
    }
    if (roles.base >= 0 && roles.base == roles.dollar) {
        CBaseInfo baseInfo;
        m_center.Center().GetBaseInfo(baseInfo);
        factor = baseInfo.BaseRateSwitch <= kBaseRateSwitchMidPrice ? InverseMidFactor(merch) : 1.0;
        return true;
    }
    if (roles.quote < 0) {
        return false;
    }
    return CrossRateFactor(roles.quoteCode, factor);
}

bool CProfitCalculator::CrossRateFactor(const CString& quoteCode, double& factor) {
    CInstrumentLookup lookup(m_center);
    CForexMerch cross;
    if (lookup.Find(CString(L"USD") + quoteCode, cross)) {
        factor = InverseMidFactor(cross);
        return true;
    }
    if (lookup.Find(quoteCode + L"USD", cross)) {
        factor = QuoteSum(cross) * 0.5 / cross.PriceUnit;
        return true;
    }
    return false;
}
