#include "ProfitRule.h"

#include "SimRecords.h"

namespace sim {

namespace {

struct CurrencyRoles {
    const Currency* base = nullptr;
    const Currency* quote = nullptr;
    const Currency* dollar = nullptr;
};

CurrencyRoles FindRoles(const Market& market, const std::string& code) {
    CurrencyRoles roles;
    for (const Currency& c : market.Currencies()) {
        const size_t at = code.find(c.code);
        if (at == 0) {
            roles.base = &c;
        } else if (at != std::string::npos) {
            roles.quote = &c;
        }
        if (c.code == "USD") {
            roles.dollar = &c;
        }
    }
    return roles;
}

double MidFactor(const Instrument& i) {
    return 2.0 * i.priceUnit / (i.ask + i.bid);
}

double ConversionFactor(const Market& market, const Instrument& instrument,
                        const CurrencyRoles& roles, double baseRateSwitch) {
    if (roles.quote == roles.dollar) {
        return 1.0;
    }
    if (roles.base == roles.dollar) {
        return baseRateSwitch <= 0.1 ? MidFactor(instrument) : 1.0;
    }
    if (roles.quote == nullptr) {
        return 0.0;
    }
    if (const Instrument* usdFirst = market.Find("USD" + roles.quote->code)) {
        return MidFactor(*usdFirst);
    }
    if (const Instrument* usdLast = market.Find(roles.quote->code + "USD")) {
        return (usdLast->ask + usdLast->bid) * 0.5 / usdLast->priceUnit;
    }
    return 0.0;
}

}  // namespace

double ProfitInDollars(const Market& market, const Instrument& instrument, int closeSide,
                       double openPrice, double closePrice, double lots, double baseRateSwitch) {
    const CurrencyRoles roles = FindRoles(market, instrument.code);
    if (roles.dollar == nullptr) {
        return 0.0;
    }
    // The client keeps prices as floats and subtracts those.
    const auto open = static_cast<double>(static_cast<float>(openPrice));
    const auto close = static_cast<double>(static_cast<float>(closePrice));
    const double move = closeSide == tradewire::kBuy ? open - close : close - open;
    const double factor = ConversionFactor(market, instrument, roles, baseRateSwitch);
    return static_cast<float>(move) / instrument.priceUnit * lots * instrument.profitFactor *
           factor * roles.dollar->usdRate / instrument.profitDivisor;
}

}  // namespace sim
