#include "Market.h"

#include <algorithm>
#include <cmath>

namespace sim {

namespace {

// Profit factors and divisors are chosen so that the client's dollar-profit rule gives the
// usual contract of 100 000 units per lot for each kind of pair: dollar quoted, dollar based
// (converted at the pair's own price) and crosses (converted through the quote currency's
// dollar pair).
Instrument Pair(std::string code, std::string name, int number, int digits, double mid,
                int spreadPoints, double factor, double divisor, double volatility) {
    Instrument i;
    i.code = std::move(code);
    i.name = std::move(name);
    i.number = number;
    i.digits = digits;
    i.priceUnit = std::pow(10.0, -digits);
    i.profitFactor = factor;
    i.profitDivisor = divisor;
    i.spreadPoints = spreadPoints;
    // A point below the quoted spread, so the client never has to widen our quotes.
    i.minSpread = i.priceUnit * std::max(1, spreadPoints - 1);
    i.volatilityPoints = volatility;
    i.bid = Market::RoundToPoint(i, mid);
    i.ask = Market::RoundToPoint(i, i.bid + spreadPoints * i.priceUnit);
    i.high = i.ask;
    i.low = i.bid;
    return i;
}

}  // namespace

Market::Market(std::uint64_t seed) : m_random(seed) {
    Add(Pair("EURUSD", "Euro / US Dollar", 1, 4, 1.0850, 2, 10, 1, 1.5));
    Add(Pair("GBPUSD", "Pound / US Dollar", 2, 4, 1.2700, 3, 10, 1, 2.0));
    Add(Pair("USDJPY", "US Dollar / Yen", 3, 2, 151.20, 3, 1000, 0.01, 2.0));
    Add(Pair("AUDUSD", "Aussie / US Dollar", 4, 4, 0.6600, 2, 10, 1, 1.2));
    Add(Pair("EURGBP", "Euro / Pound", 5, 4, 0.8540, 3, 10, 10000, 1.0));
    m_currencies = {
        {"USD", "US Dollar", 1.0},          {"EUR", "Euro", 1.085},
        {"GBP", "Pound Sterling", 1.27},    {"JPY", "Japanese Yen", 0.0066},
        {"AUD", "Australian Dollar", 0.66},
    };
}

void Market::Add(Instrument instrument) {
    m_instruments.push_back(std::move(instrument));
}

const Instrument* Market::Find(std::string_view code) const {
    for (const Instrument& i : m_instruments) {
        if (i.code == code) {
            return &i;
        }
    }
    return nullptr;
}

double Market::RoundToPoint(const Instrument& instrument, double price) {
    return std::round(price / instrument.priceUnit) * instrument.priceUnit;
}

std::vector<size_t> Market::Step() {
    std::vector<size_t> moved;
    std::bernoulli_distribution pick(0.5);
    for (size_t index = 0; index < m_instruments.size(); ++index) {
        if (pick(m_random)) {
            moved.push_back(index);
        }
    }
    if (moved.empty()) {
        std::uniform_int_distribution<size_t> one(0, m_instruments.size() - 1);
        moved.push_back(one(m_random));
    }
    for (const size_t index : moved) {
        Instrument& i = m_instruments[index];
        std::normal_distribution<double> step(0.0, i.volatilityPoints);
        double points = std::round(step(m_random));
        if (points == 0) {
            points = pick(m_random) ? 1 : -1;
        }
        const double bid = RoundToPoint(i, i.bid + points * i.priceUnit);
        SetBid(i.code, std::max(bid, i.priceUnit));
    }
    return moved;
}

bool Market::SetBid(std::string_view code, double bid) {
    for (Instrument& i : m_instruments) {
        if (i.code != code) {
            continue;
        }
        i.bid = RoundToPoint(i, bid);
        i.ask = RoundToPoint(i, i.bid + i.spreadPoints * i.priceUnit);
        i.high = std::max(i.high, i.ask);
        i.low = std::min(i.low, i.bid);
        return true;
    }
    return false;
}

}  // namespace sim
