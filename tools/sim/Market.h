#pragma once
// The instruments, currencies and moving quotes of the simulated market. Prices move by a
// seeded random walk, so the same seed gives the same prices. One thread owns a market.

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

struct Instrument {
    std::string code;
    std::string name;
    int number = 0;
    int digits = 4;           // decimals of a price
    double priceUnit = 0;     // one point, 10^-digits
    double profitFactor = 0;  // with profitDivisor, scales a point move into dollars
    double profitDivisor = 1;
    double minSpread = 0;
    int spreadPoints = 1;
    double bid = 0;
    double ask = 0;
    double high = 0;
    double low = 0;
    double volatilityPoints = 1;  // typical size of one step
};

struct Currency {
    std::string code;
    std::string name;
    double usdRate = 1;
};

class Market {
  public:
    explicit Market(std::uint64_t seed);

    const std::vector<Instrument>& Instruments() const { return m_instruments; }
    const std::vector<Currency>& Currencies() const { return m_currencies; }
    const Instrument* Find(std::string_view code) const;

    // One step of the walk: moves a random non-empty subset of the instruments and returns
    // their indexes.
    std::vector<size_t> Step();

    // Puts an instrument at a given bid (ask follows at its spread). For tests and set-ups.
    bool SetBid(std::string_view code, double bid);

    // Rounds a price to the instrument's points.
    static double RoundToPoint(const Instrument& instrument, double price);

  private:
    void Add(Instrument instrument);

    std::mt19937_64 m_random;
    std::vector<Instrument> m_instruments;
    std::vector<Currency> m_currencies;
};

}  // namespace sim
