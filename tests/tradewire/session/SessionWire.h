#pragma once
// What a trading server sends during a session, as inbound lines built from records: each
// function gives one complete line (frame and line end) ready for CTestTlsServer::Send.

#include <string>
#include <vector>

#include "tradewire/Records.h"

struct SessionInstrument {
    const char* code;
    float priceUnit;
    float profitFactor;
    float profitDivisor;
    float minSpread;
    float bid;
    float ask;
};

struct SessionQuote {
    const char* code;
    float bid;
    float ask;
    const char* stamp;
};

// The records the session scripts trade with: EURUSD on account ACC1.
COrderInfo SessionRequest(int kind, int internalNo);
CBargain SessionDeal(int bargainNo, int internalNo, int direction, float lots, float price);
// `order` for pending order `orderNo` (0 for a new one) with its two trigger prices.
COrderInfo WithTriggers(COrderInfo order, int orderNo, float trigger1, float trigger2);
// The deal that closes `opened` at `price`: its own number, linked to the opening deal.
CBargain ClosingDeal(const CBargain& opened, int bargainNo, int internalNo, float price);

std::string LoginReplyLine();
// The login as a session starts: the reply, account ACC1 with balance 5000 and counter 100, two
// instruments (EURUSD worth 3 dollars for 0.25 on 2 lots, USDJPY), EUR and USD, base info.
std::vector<std::string> LoginLines();
// One fund line with `balance`; the instrument section is left empty.
std::string AccountLine(const char* accountCode, double balance, int internalNo);
std::string InstrumentsLine(const std::vector<SessionInstrument>& instruments);
std::string CurrenciesLine(const std::vector<CCurrency>& currencies);
std::string BaseInfoLine(float baseRateSwitch);
// One section per inner vector.
std::string QuotesLine(const std::vector<std::vector<SessionQuote>>& sections);
// 7002, 7004 or 7005 with one order; 7003 with one deal.
std::string OrderEventLine(int code, const COrderInfo& order);
std::string DealEventLine(const CBargain& deal);
