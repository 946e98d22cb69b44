#pragma once
// The trading records that cross the library's boundary. Field order, widths and names are
// part of the interface: the caller compiles against these same declarations. Plain values:
// default construction gives 0 and empty strings, copies are member-wise. Only CForexMerch is
// polymorphic (a virtual destructor, nothing else).

#include <stdint.h>

#include "tradewire/CArray.h"
#include "tradewire/CString.h"

// One quote.
class CForexRealtimePrice {
  public:
    CString MerchCode;
    float Bid = 0;
    float Ask = 0;
    float Price3 = 0;
    float Price4 = 0;
    CString QuoteStamp;
};

// A tradable instrument with its last quote.
class CForexMerch {
  public:
    CForexMerch() = default;
    CForexMerch(const CForexMerch&) = default;
    CForexMerch& operator=(const CForexMerch&) = default;
    CForexMerch(CForexMerch&&) noexcept = default;  // lets arrays grow without copying text
    CForexMerch& operator=(CForexMerch&&) noexcept = default;
    virtual ~CForexMerch() = default;

    CString MerchCode;
    int MerchNo = 0;
    CString MerchName;
    int Value4 = 0;
    int Value5 = 0;
    int Value6 = 0;
    float ProfitFactor = 0;
    float Value8 = 0;
    float Value9 = 0;
    float Value10 = 0;
    float Value11 = 0;
    float Value12 = 0;
    float Value13 = 0;
    float Value14 = 0;
    float MinSpread = 0;
    float Value16 = 0;
    int Value17 = 0;
    float PriceUnit = 0;
    float ProfitDivisor = 0;
    float Value20 = 0;
    int Value21 = 0;
    float FirstBid = 0;
    float FirstAsk = 0;
    float FirstPrice3 = 0;
    float FirstPrice4 = 0;
    float Value26 = 0;
    float Value27 = 0;
    float Value28 = 0;
    CString Value29;
    float Value30 = 0;
    float Value31 = 0;
    CString Value32;
    int Value33 = 0;
    float Value34 = 0;
    int Value35 = 0;
    int Value36 = 0;
    float Value37[16] = {};
    float Value38 = 0;
    float Value39 = 0;
    int Value40 = 0;
    CString Value41;
    float Value42 = 0;
    float Value43 = 0;
    float Value44 = 0;
    float Value45 = 0;
    float Value46[14] = {};
    int Value47 = 0;
    int Value48 = 0;
    int Value49 = 0;
    int Value50 = 0;
    int Value51 = 0;
    int Value52 = 0;
    float Value53 = 0;
    float Value54 = 0;
    float Value55 = 0;
    float Value56 = 0;
    float Value57 = 0;
    float Value58 = 0;
    float Value59 = 0;
    float Value60 = 0;
    CForexRealtimePrice RealtimePrice;
};

// An order; also the argument of CommitBill.
class COrderInfo {
  public:
    CString AccountCode;
    CString MerchCode;
    CString Value3;
    int InternalNo = 0;
    CString Value5;
    int OrderNo = 0;
    int BargainNo = 0;
    int OrderKind = 0;
    CString Value9;
    int Value10 = 0;
    int Value11 = 0;
    int Value12 = 0;
    int CloseFlag = 0;
    float Value14 = 0;
    float Value15 = 0;
    float Value16 = 0;
    float TriggerPrice1 = 0;
    float TriggerPrice2 = 0;
    float Value19 = 0;
    float Value20 = 0;
    float Value21 = 0;
    float Value22 = 0;
    float Value23 = 0;
    float Value24 = 0;
    float Value25 = 0;
    float Value26 = 0;
    float Value27 = 0;
    CString Value28;
    float Value29 = 0;
    float Value30 = 0;
    float Value31 = 0;
};

// A deal: an open position, or a deal that closes one.
class CBargain {
  public:
    CString Value1;
    CString MerchCode;
    CString Value3;
    CString Value4;
    int BargainNo = 0;
    int OpenBargainNo = 0;
    int InternalNo = 0;
    CString Value8;
    CString Value9;
    int Direction = 0;
    int CloseFlag = 0;
    float Lots = 0;
    float Price = 0;
    float TriggerPrice1 = 0;
    float TriggerPrice2 = 0;
    float Value16 = 0;
    float Charge = 0;
    float Credit = 0;
    float Value19 = 0;
    float Value20 = 0;
    float Value21 = 0;
};

// A closed deal.
class CHistoryOrderInfo {
  public:
    CString Value1;
    CString Value2;
    CString MerchCode;
    float Lots = 0;
    CString Value5;
    CString Value6;
    int OpenBargainNo = 0;
    int OpenInternalNo = 0;
    CString Value9;
    CString Value10;
    int Direction = 0;
    float OpenPrice = 0;
    float OpenTriggerPrice2 = 0;
    float OpenTriggerPrice1 = 0;
    CString Value15;
    CString Value16;
    int BargainNo = 0;
    int InternalNo = 0;
    CString Value19;
    CString Value20;
    float ClosePrice = 0;
    float Profit = 0;
    float Value23 = 0;
    float Credit = 0;
    float Charge = 0;
    float Value26 = 0;
};

class CCurrency {
  public:
    CString CurrencyCode;
    CString Value2;
    CString Value3;
    float Value4 = 0;
    float UsdRate = 0;
    int Value6 = 0;
    float Value7 = 0;
    float Value8 = 0;
};

// The bulletin.
class CBroadCast {
  public:
    int Value1 = 0;
    float Value2 = 0;
    float Value3 = 0;
    CString Value4;
    CString Value5;
    CString Value6;
    CString Value7;
    CString Value8;
};

class CGroup {
  public:
    CString Value1;
    int Value2 = 0;
    CString Value3;
    CString Value4;
    int Value5 = 0;
    float Value6 = 0;
    int Value7 = 0;
    float Value8[27] = {};
};

class CBaseInfo {
  public:
    CString Value1;
    CString Value2[6];
    CString Value3;
    CString Value4[17];
    float Value5 = 0;
    float Value6 = 0;
    float Value7 = 0;
    float Value8 = 0;
    CString Value9;
    int Value10 = 0;
    float Value11 = 0;
    float BaseRateSwitch = 0;
    float Value13 = 0;
    float Value14 = 0;
    float Value15 = 0;
    float Value16 = 0;
    float Value17 = 0;
    float Value18 = 0;
    float Value19 = 0;
    int Value20 = 0;
    CString Value21;
    float Value22 = 0;
    float Value23 = 0;
    float Value24 = 0;
    float Value25 = 0;
    float Value26 = 0;
    float Value27 = 0;
    float Value28 = 0;
    float Value29 = 0;
    float Value30 = 0;
    float Value31 = 0;
    float Value32 = 0;
};

// A fund line of the account.
class CFundInfo {
  public:
    double Balance = 0;
    float Value2 = 0;
    float Value3 = 0;
    float Value4 = 0;
    float Value5 = 0;
    float Value6 = 0;
    double Value7 = 0;
    float Value8 = 0;
    double Value9 = 0;
    double Value10 = 0;
    double Value11 = 0;
    double Value12 = 0;
    double Value13 = 0;
    CString Value14;
};

using CForexMerchArray = CArray<CForexMerch, CForexMerch&>;
using COrderInfoArray = CArray<COrderInfo, COrderInfo&>;
using CBargainArray = CArray<CBargain, CBargain&>;
using CHistoryOrderInfoArray = CArray<CHistoryOrderInfo, CHistoryOrderInfo&>;
using CCurrencyArray = CArray<CCurrency, CCurrency&>;
using CFundInfoArray = CArray<CFundInfo, CFundInfo&>;

// The logged-in account. Value23 is a 32-bit integer (a Windows long) on every system.
class CAccountInfo {
  public:
    CString AccountCode;
    CString Value2;
    CString Value3;
    CString Value4;
    CString Value5;
    CString Value6;
    CString Value7;
    CString Value8;
    CString Value9;
    CString Value10;
    CString Value11;
    int Value12 = 0;
    int Value13 = 0;
    int Value14 = 0;
    int Value15 = 0;
    CString Value16;
    int Value17 = 0;
    double Value18 = 0;
    double Value19 = 0;
    int Value20 = 0;
    int Value21 = 0;
    float Value22 = 0;
    int32_t Value23 = 0;
    CString Value24;
    CString Value25;
    CString Value26;
    CString Value27;
    CString Value28;
    CString Value29;
    CString Value30;
    CString Value31;
    CString Value32;
    CString Value33;
    CString Value34;
    int Value35 = 0;
    int Value36 = 0;
    int Value37 = 0;
    float Value38 = 0;
    float Value39 = 0;
    CString Value40;
    CString Value41;
    float Value42 = 0;
    int Value43 = 0;
    float Value44 = 0;
    CFundInfoArray Funds;
    CForexMerchArray Merchs;
    int InternalNo = 0;
};
