#include "FloatingProfit.h"

namespace term {

namespace {

constexpr double kBaseRateSwitchMidPrice = 0.1;

double MidFactor(const CForexMerch& merch) {
    const double sum = static_cast<double>(merch.RealtimePrice.Ask) + merch.RealtimePrice.Bid;
    return sum > 0 ? 2.0 * merch.PriceUnit / sum : 0.0;
}

const CForexMerch* FindMerch(const CForexMerchArray& merchs, const CString& code) {
    for (INT_PTR i = 0; i < merchs.GetSize(); ++i) {
        if (merchs[i].MerchCode == code) {
            return &merchs[i];
        }
    }
    return nullptr;
}

// Dollars per unit of the instrument's quote currency (in price units), found as the library
// finds it: the quote currency is the one named after the start of the code.
double DollarFactor(const CForexMerch& merch, const MarketCopy& market) {
    CString quote;
    bool dollarBase = false;
    for (INT_PTR i = 0; i < market.currencys.GetSize(); ++i) {
        const CString& code = market.currencys[i].CurrencyCode;
        const int at = merch.MerchCode.Find(code);
        dollarBase = dollarBase || (at == 0 && code.CompareNoCase(L"USD") == 0);
        quote = at > 0 ? code : quote;
    }
    if (quote.CompareNoCase(L"USD") == 0) {
        return 1.0;
    }
    if (dollarBase) {
        return market.baseInfo.BaseRateSwitch <= kBaseRateSwitchMidPrice ? MidFactor(merch) : 1.0;
    }
    if (const CForexMerch* cross = FindMerch(market.merchs, CString(L"USD") + quote)) {
        return MidFactor(*cross);
    }
    const CForexMerch* cross = FindMerch(market.merchs, quote + L"USD");
    return cross == nullptr || cross->PriceUnit <= 0
               ? 0.0
               : (static_cast<double>(cross->RealtimePrice.Ask) + cross->RealtimePrice.Bid) * 0.5 /
                     cross->PriceUnit;
}

double DollarRate(const CCurrencyArray& currencys) {
    for (INT_PTR i = 0; i < currencys.GetSize(); ++i) {
        if (currencys[i].CurrencyCode.CompareNoCase(L"USD") == 0) {
            return currencys[i].UsdRate;
        }
    }
    return 0.0;
}

}  // namespace

double ClosingPrice(const CBargain& position, const CForexMerch& merch) {
    return position.Direction == tradewire::kBuy ? merch.RealtimePrice.Bid
                                                 : merch.RealtimePrice.Ask;
}

double FloatingProfit(const CBargain& position, const CForexMerch& merch,
                      const MarketCopy& market) {
    const double close = ClosingPrice(position, merch);
    if (close <= 0 || merch.PriceUnit <= 0 || merch.ProfitDivisor == 0) {
        return 0.0;
    }
    const double move =
        position.Direction == tradewire::kBuy ? close - position.Price : position.Price - close;
    return move / merch.PriceUnit * position.Lots * merch.ProfitFactor *
           DollarFactor(merch, market) * DollarRate(market.currencys) / merch.ProfitDivisor;
}

}  // namespace term
