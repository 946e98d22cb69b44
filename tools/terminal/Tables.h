#pragma once
// Readable tables of what the data center holds. Each function takes copies the caller got
// from the getters and returns the lines to print.

#include <tradewire/Tradewire.h>

#include <string>
#include <vector>

#include "FloatingProfit.h"

namespace term {

// Columns of text; numbers are right-aligned, texts left-aligned.
class Table {
  public:
    explicit Table(std::vector<std::string> headers);
    void Row(std::vector<std::string> cells);
    std::string Render(const std::string& title) const;

  private:
    std::vector<std::string> m_headers;
    std::vector<std::vector<std::string>> m_rows;
};

int DigitsOf(const CForexMerch& merch);
int DigitsOf(const CForexMerchArray& merchs, const CString& code);
const char* SideName(int side);
const char* OrderKindName(int kind);

std::string AccountTable(const CAccountInfo& account, int positions, int orders);
std::string InstrumentTable(const CForexMerchArray& merchs);
std::string QuoteTable(const CForexMerchArray& merchs);
// With the price each position would close at now and what that would earn.
std::string PositionTable(const CBargainArray& bargains, const MarketCopy& market);
std::string OrderTable(const COrderInfoArray& orders, const CForexMerchArray& merchs);
std::string HistoryTable(const CHistoryOrderInfoArray& history, const CForexMerchArray& merchs);

}  // namespace term
