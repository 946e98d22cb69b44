#pragma once
// The interface's binary layout, written from the records' field lists and the widths callers
// compile against: a CString is one pointer, a CArray five pointer-sized slots (MFC's object
// header, buffer, size, capacity, grow-by), a lock Windows' CRITICAL_SECTION (40 bytes on
// 64-bit systems), int, long and float 4 bytes, double 8; a polymorphic record starts with its
// virtual-table pointer. CheckInterfaceLayout lays each record out from these widths and
// compares every field's offset and every size with what the compiler made of the headers.
// No C++ standard library, so that a Microsoft-ABI terminal can run it too.

#include <stddef.h>

#include "tradewire/Tradewire.h"

// kQuote is an embedded record (the instrument's last quote): as wide as that record.
enum LayoutWidth { kInt32, kFloat, kDouble, kString, kArray, kLock, kVirtualTable, kQuote };

struct LayoutField {
    const char* name;
    LayoutWidth width;
    int count;
    size_t offset;  // where the compiler put it
};

// offsetof on the one polymorphic record (CForexMerch) is conditionally supported; every
// compiler this runs on supports it, and it keeps the tables constant: they must be filled
// before any code runs, whatever C++ runtime start-up the terminal links.
#if defined(__GNUC__) || defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
#endif

namespace interface_layout {

constexpr LayoutField kForexRealtimePriceFields[] = {
    {"MerchCode", kString, 1, offsetof(CForexRealtimePrice, MerchCode)},
    {"Bid", kFloat, 1, offsetof(CForexRealtimePrice, Bid)},
    {"Ask", kFloat, 1, offsetof(CForexRealtimePrice, Ask)},
    {"Price3", kFloat, 1, offsetof(CForexRealtimePrice, Price3)},
    {"Price4", kFloat, 1, offsetof(CForexRealtimePrice, Price4)},
    {"QuoteStamp", kString, 1, offsetof(CForexRealtimePrice, QuoteStamp)},
};
constexpr LayoutField kForexMerchFields[] = {
    {"(virtual table)", kVirtualTable, 1, 0},
    {"MerchCode", kString, 1, offsetof(CForexMerch, MerchCode)},
    {"MerchNo", kInt32, 1, offsetof(CForexMerch, MerchNo)},
    {"MerchName", kString, 1, offsetof(CForexMerch, MerchName)},
    {"Value4", kInt32, 1, offsetof(CForexMerch, Value4)},
    {"Value5", kInt32, 1, offsetof(CForexMerch, Value5)},
    {"Value6", kInt32, 1, offsetof(CForexMerch, Value6)},
    {"ProfitFactor", kFloat, 1, offsetof(CForexMerch, ProfitFactor)},
    {"Value8", kFloat, 1, offsetof(CForexMerch, Value8)},
    {"Value9", kFloat, 1, offsetof(CForexMerch, Value9)},
    {"Value10", kFloat, 1, offsetof(CForexMerch, Value10)},
    {"Value11", kFloat, 1, offsetof(CForexMerch, Value11)},
    {"Value12", kFloat, 1, offsetof(CForexMerch, Value12)},
    {"Value13", kFloat, 1, offsetof(CForexMerch, Value13)},
    {"Value14", kFloat, 1, offsetof(CForexMerch, Value14)},
    {"MinSpread", kFloat, 1, offsetof(CForexMerch, MinSpread)},
    {"Value16", kFloat, 1, offsetof(CForexMerch, Value16)},
    {"Value17", kInt32, 1, offsetof(CForexMerch, Value17)},
    {"PriceUnit", kFloat, 1, offsetof(CForexMerch, PriceUnit)},
    {"ProfitDivisor", kFloat, 1, offsetof(CForexMerch, ProfitDivisor)},
    {"Value20", kFloat, 1, offsetof(CForexMerch, Value20)},
    {"Value21", kInt32, 1, offsetof(CForexMerch, Value21)},
    {"FirstBid", kFloat, 1, offsetof(CForexMerch, FirstBid)},
    {"FirstAsk", kFloat, 1, offsetof(CForexMerch, FirstAsk)},
    {"FirstPrice3", kFloat, 1, offsetof(CForexMerch, FirstPrice3)},
    {"FirstPrice4", kFloat, 1, offsetof(CForexMerch, FirstPrice4)},
    {"Value26", kFloat, 1, offsetof(CForexMerch, Value26)},
    {"Value27", kFloat, 1, offsetof(CForexMerch, Value27)},
    {"Value28", kFloat, 1, offsetof(CForexMerch, Value28)},
    {"Value29", kString, 1, offsetof(CForexMerch, Value29)},
    {"Value30", kFloat, 1, offsetof(CForexMerch, Value30)},
    {"Value31", kFloat, 1, offsetof(CForexMerch, Value31)},
    {"Value32", kString, 1, offsetof(CForexMerch, Value32)},
    {"Value33", kInt32, 1, offsetof(CForexMerch, Value33)},
    {"Value34", kFloat, 1, offsetof(CForexMerch, Value34)},
    {"Value35", kInt32, 1, offsetof(CForexMerch, Value35)},
    {"Value36", kInt32, 1, offsetof(CForexMerch, Value36)},
    {"Value37", kFloat, 16, offsetof(CForexMerch, Value37)},
    {"Value38", kFloat, 1, offsetof(CForexMerch, Value38)},
    {"Value39", kFloat, 1, offsetof(CForexMerch, Value39)},
    {"Value40", kInt32, 1, offsetof(CForexMerch, Value40)},
    {"Value41", kString, 1, offsetof(CForexMerch, Value41)},
    {"Value42", kFloat, 1, offsetof(CForexMerch, Value42)},
    {"Value43", kFloat, 1, offsetof(CForexMerch, Value43)},
    {"Value44", kFloat, 1, offsetof(CForexMerch, Value44)},
    {"Value45", kFloat, 1, offsetof(CForexMerch, Value45)},
    {"Value46", kFloat, 14, offsetof(CForexMerch, Value46)},
    {"Value47", kInt32, 1, offsetof(CForexMerch, Value47)},
    {"Value48", kInt32, 1, offsetof(CForexMerch, Value48)},
    {"Value49", kInt32, 1, offsetof(CForexMerch, Value49)},
    {"Value50", kInt32, 1, offsetof(CForexMerch, Value50)},
    {"Value51", kInt32, 1, offsetof(CForexMerch, Value51)},
    {"Value52", kInt32, 1, offsetof(CForexMerch, Value52)},
    {"Value53", kFloat, 1, offsetof(CForexMerch, Value53)},
    {"Value54", kFloat, 1, offsetof(CForexMerch, Value54)},
    {"Value55", kFloat, 1, offsetof(CForexMerch, Value55)},
    {"Value56", kFloat, 1, offsetof(CForexMerch, Value56)},
    {"Value57", kFloat, 1, offsetof(CForexMerch, Value57)},
    {"Value58", kFloat, 1, offsetof(CForexMerch, Value58)},
    {"Value59", kFloat, 1, offsetof(CForexMerch, Value59)},
    {"Value60", kFloat, 1, offsetof(CForexMerch, Value60)},
    {"RealtimePrice", kQuote, 1, offsetof(CForexMerch, RealtimePrice)},
};
constexpr LayoutField kOrderInfoFields[] = {
    {"AccountCode", kString, 1, offsetof(COrderInfo, AccountCode)},
    {"MerchCode", kString, 1, offsetof(COrderInfo, MerchCode)},
    {"Value3", kString, 1, offsetof(COrderInfo, Value3)},
    {"InternalNo", kInt32, 1, offsetof(COrderInfo, InternalNo)},
    {"Value5", kString, 1, offsetof(COrderInfo, Value5)},
    {"OrderNo", kInt32, 1, offsetof(COrderInfo, OrderNo)},
    {"BargainNo", kInt32, 1, offsetof(COrderInfo, BargainNo)},
    {"OrderKind", kInt32, 1, offsetof(COrderInfo, OrderKind)},
    {"Value9", kString, 1, offsetof(COrderInfo, Value9)},
    {"Value10", kInt32, 1, offsetof(COrderInfo, Value10)},
    {"Value11", kInt32, 1, offsetof(COrderInfo, Value11)},
    {"Value12", kInt32, 1, offsetof(COrderInfo, Value12)},
    {"CloseFlag", kInt32, 1, offsetof(COrderInfo, CloseFlag)},
    {"Value14", kFloat, 1, offsetof(COrderInfo, Value14)},
    {"Value15", kFloat, 1, offsetof(COrderInfo, Value15)},
    {"Value16", kFloat, 1, offsetof(COrderInfo, Value16)},
    {"TriggerPrice1", kFloat, 1, offsetof(COrderInfo, TriggerPrice1)},
    {"TriggerPrice2", kFloat, 1, offsetof(COrderInfo, TriggerPrice2)},
    {"Value19", kFloat, 1, offsetof(COrderInfo, Value19)},
    {"Value20", kFloat, 1, offsetof(COrderInfo, Value20)},
    {"Value21", kFloat, 1, offsetof(COrderInfo, Value21)},
    {"Value22", kFloat, 1, offsetof(COrderInfo, Value22)},
    {"Value23", kFloat, 1, offsetof(COrderInfo, Value23)},
    {"Value24", kFloat, 1, offsetof(COrderInfo, Value24)},
    {"Value25", kFloat, 1, offsetof(COrderInfo, Value25)},
    {"Value26", kFloat, 1, offsetof(COrderInfo, Value26)},
    {"Value27", kFloat, 1, offsetof(COrderInfo, Value27)},
    {"Value28", kString, 1, offsetof(COrderInfo, Value28)},
    {"Value29", kFloat, 1, offsetof(COrderInfo, Value29)},
    {"Value30", kFloat, 1, offsetof(COrderInfo, Value30)},
    {"Value31", kFloat, 1, offsetof(COrderInfo, Value31)},
};
constexpr LayoutField kBargainFields[] = {
    {"Value1", kString, 1, offsetof(CBargain, Value1)},
    {"MerchCode", kString, 1, offsetof(CBargain, MerchCode)},
    {"Value3", kString, 1, offsetof(CBargain, Value3)},
    {"Value4", kString, 1, offsetof(CBargain, Value4)},
    {"BargainNo", kInt32, 1, offsetof(CBargain, BargainNo)},
    {"OpenBargainNo", kInt32, 1, offsetof(CBargain, OpenBargainNo)},
    {"InternalNo", kInt32, 1, offsetof(CBargain, InternalNo)},
    {"Value8", kString, 1, offsetof(CBargain, Value8)},
    {"Value9", kString, 1, offsetof(CBargain, Value9)},
    {"Direction", kInt32, 1, offsetof(CBargain, Direction)},
    {"CloseFlag", kInt32, 1, offsetof(CBargain, CloseFlag)},
    {"Lots", kFloat, 1, offsetof(CBargain, Lots)},
    {"Price", kFloat, 1, offsetof(CBargain, Price)},
    {"TriggerPrice1", kFloat, 1, offsetof(CBargain, TriggerPrice1)},
    {"TriggerPrice2", kFloat, 1, offsetof(CBargain, TriggerPrice2)},
    {"Value16", kFloat, 1, offsetof(CBargain, Value16)},
    {"Charge", kFloat, 1, offsetof(CBargain, Charge)},
    {"Credit", kFloat, 1, offsetof(CBargain, Credit)},
    {"Value19", kFloat, 1, offsetof(CBargain, Value19)},
    {"Value20", kFloat, 1, offsetof(CBargain, Value20)},
    {"Value21", kFloat, 1, offsetof(CBargain, Value21)},
};
constexpr LayoutField kHistoryOrderInfoFields[] = {
    {"Value1", kString, 1, offsetof(CHistoryOrderInfo, Value1)},
    {"Value2", kString, 1, offsetof(CHistoryOrderInfo, Value2)},
    {"MerchCode", kString, 1, offsetof(CHistoryOrderInfo, MerchCode)},
    {"Lots", kFloat, 1, offsetof(CHistoryOrderInfo, Lots)},
    {"Value5", kString, 1, offsetof(CHistoryOrderInfo, Value5)},
    {"Value6", kString, 1, offsetof(CHistoryOrderInfo, Value6)},
    {"OpenBargainNo", kInt32, 1, offsetof(CHistoryOrderInfo, OpenBargainNo)},
    {"OpenInternalNo", kInt32, 1, offsetof(CHistoryOrderInfo, OpenInternalNo)},
    {"Value9", kString, 1, offsetof(CHistoryOrderInfo, Value9)},
    {"Value10", kString, 1, offsetof(CHistoryOrderInfo, Value10)},
    {"Direction", kInt32, 1, offsetof(CHistoryOrderInfo, Direction)},
    {"OpenPrice", kFloat, 1, offsetof(CHistoryOrderInfo, OpenPrice)},
    {"OpenTriggerPrice2", kFloat, 1, offsetof(CHistoryOrderInfo, OpenTriggerPrice2)},
    {"OpenTriggerPrice1", kFloat, 1, offsetof(CHistoryOrderInfo, OpenTriggerPrice1)},
    {"Value15", kString, 1, offsetof(CHistoryOrderInfo, Value15)},
    {"Value16", kString, 1, offsetof(CHistoryOrderInfo, Value16)},
    {"BargainNo", kInt32, 1, offsetof(CHistoryOrderInfo, BargainNo)},
    {"InternalNo", kInt32, 1, offsetof(CHistoryOrderInfo, InternalNo)},
    {"Value19", kString, 1, offsetof(CHistoryOrderInfo, Value19)},
    {"Value20", kString, 1, offsetof(CHistoryOrderInfo, Value20)},
    {"ClosePrice", kFloat, 1, offsetof(CHistoryOrderInfo, ClosePrice)},
    {"Profit", kFloat, 1, offsetof(CHistoryOrderInfo, Profit)},
    {"Value23", kFloat, 1, offsetof(CHistoryOrderInfo, Value23)},
    {"Credit", kFloat, 1, offsetof(CHistoryOrderInfo, Credit)},
    {"Charge", kFloat, 1, offsetof(CHistoryOrderInfo, Charge)},
    {"Value26", kFloat, 1, offsetof(CHistoryOrderInfo, Value26)},
};
constexpr LayoutField kCurrencyFields[] = {
    {"CurrencyCode", kString, 1, offsetof(CCurrency, CurrencyCode)},
    {"Value2", kString, 1, offsetof(CCurrency, Value2)},
    {"Value3", kString, 1, offsetof(CCurrency, Value3)},
    {"Value4", kFloat, 1, offsetof(CCurrency, Value4)},
    {"UsdRate", kFloat, 1, offsetof(CCurrency, UsdRate)},
    {"Value6", kInt32, 1, offsetof(CCurrency, Value6)},
    {"Value7", kFloat, 1, offsetof(CCurrency, Value7)},
    {"Value8", kFloat, 1, offsetof(CCurrency, Value8)},
};
constexpr LayoutField kBroadCastFields[] = {
    {"Value1", kInt32, 1, offsetof(CBroadCast, Value1)},
    {"Value2", kFloat, 1, offsetof(CBroadCast, Value2)},
    {"Value3", kFloat, 1, offsetof(CBroadCast, Value3)},
    {"Value4", kString, 1, offsetof(CBroadCast, Value4)},
    {"Value5", kString, 1, offsetof(CBroadCast, Value5)},
    {"Value6", kString, 1, offsetof(CBroadCast, Value6)},
    {"Value7", kString, 1, offsetof(CBroadCast, Value7)},
    {"Value8", kString, 1, offsetof(CBroadCast, Value8)},
};
constexpr LayoutField kGroupFields[] = {
    {"Value1", kString, 1, offsetof(CGroup, Value1)},
    {"Value2", kInt32, 1, offsetof(CGroup, Value2)},
    {"Value3", kString, 1, offsetof(CGroup, Value3)},
    {"Value4", kString, 1, offsetof(CGroup, Value4)},
    {"Value5", kInt32, 1, offsetof(CGroup, Value5)},
    {"Value6", kFloat, 1, offsetof(CGroup, Value6)},
    {"Value7", kInt32, 1, offsetof(CGroup, Value7)},
    {"Value8", kFloat, 27, offsetof(CGroup, Value8)},
};
constexpr LayoutField kBaseInfoFields[] = {
    {"Value1", kString, 1, offsetof(CBaseInfo, Value1)},
    {"Value2", kString, 6, offsetof(CBaseInfo, Value2)},
    {"Value3", kString, 1, offsetof(CBaseInfo, Value3)},
    {"Value4", kString, 17, offsetof(CBaseInfo, Value4)},
    {"Value5", kFloat, 1, offsetof(CBaseInfo, Value5)},
    {"Value6", kFloat, 1, offsetof(CBaseInfo, Value6)},
    {"Value7", kFloat, 1, offsetof(CBaseInfo, Value7)},
    {"Value8", kFloat, 1, offsetof(CBaseInfo, Value8)},
    {"Value9", kString, 1, offsetof(CBaseInfo, Value9)},
    {"Value10", kInt32, 1, offsetof(CBaseInfo, Value10)},
    {"Value11", kFloat, 1, offsetof(CBaseInfo, Value11)},
    {"BaseRateSwitch", kFloat, 1, offsetof(CBaseInfo, BaseRateSwitch)},
    {"Value13", kFloat, 1, offsetof(CBaseInfo, Value13)},
    {"Value14", kFloat, 1, offsetof(CBaseInfo, Value14)},
    {"Value15", kFloat, 1, offsetof(CBaseInfo, Value15)},
    {"Value16", kFloat, 1, offsetof(CBaseInfo, Value16)},
    {"Value17", kFloat, 1, offsetof(CBaseInfo, Value17)},
    {"Value18", kFloat, 1, offsetof(CBaseInfo, Value18)},
    {"Value19", kFloat, 1, offsetof(CBaseInfo, Value19)},
    {"Value20", kInt32, 1, offsetof(CBaseInfo, Value20)},
    {"Value21", kString, 1, offsetof(CBaseInfo, Value21)},
    {"Value22", kFloat, 1, offsetof(CBaseInfo, Value22)},
    {"Value23", kFloat, 1, offsetof(CBaseInfo, Value23)},
    {"Value24", kFloat, 1, offsetof(CBaseInfo, Value24)},
    {"Value25", kFloat, 1, offsetof(CBaseInfo, Value25)},
    {"Value26", kFloat, 1, offsetof(CBaseInfo, Value26)},
    {"Value27", kFloat, 1, offsetof(CBaseInfo, Value27)},
    {"Value28", kFloat, 1, offsetof(CBaseInfo, Value28)},
    {"Value29", kFloat, 1, offsetof(CBaseInfo, Value29)},
    {"Value30", kFloat, 1, offsetof(CBaseInfo, Value30)},
    {"Value31", kFloat, 1, offsetof(CBaseInfo, Value31)},
    {"Value32", kFloat, 1, offsetof(CBaseInfo, Value32)},
};
constexpr LayoutField kFundInfoFields[] = {
    {"Balance", kDouble, 1, offsetof(CFundInfo, Balance)},
    {"Value2", kFloat, 1, offsetof(CFundInfo, Value2)},
    {"Value3", kFloat, 1, offsetof(CFundInfo, Value3)},
    {"Value4", kFloat, 1, offsetof(CFundInfo, Value4)},
    {"Value5", kFloat, 1, offsetof(CFundInfo, Value5)},
    {"Value6", kFloat, 1, offsetof(CFundInfo, Value6)},
    {"Value7", kDouble, 1, offsetof(CFundInfo, Value7)},
    {"Value8", kFloat, 1, offsetof(CFundInfo, Value8)},
    {"Value9", kDouble, 1, offsetof(CFundInfo, Value9)},
    {"Value10", kDouble, 1, offsetof(CFundInfo, Value10)},
    {"Value11", kDouble, 1, offsetof(CFundInfo, Value11)},
    {"Value12", kDouble, 1, offsetof(CFundInfo, Value12)},
    {"Value13", kDouble, 1, offsetof(CFundInfo, Value13)},
    {"Value14", kString, 1, offsetof(CFundInfo, Value14)},
};
constexpr LayoutField kAccountInfoFields[] = {
    {"AccountCode", kString, 1, offsetof(CAccountInfo, AccountCode)},
    {"Value2", kString, 1, offsetof(CAccountInfo, Value2)},
    {"Value3", kString, 1, offsetof(CAccountInfo, Value3)},
    {"Value4", kString, 1, offsetof(CAccountInfo, Value4)},
    {"Value5", kString, 1, offsetof(CAccountInfo, Value5)},
    {"Value6", kString, 1, offsetof(CAccountInfo, Value6)},
    {"Value7", kString, 1, offsetof(CAccountInfo, Value7)},
    {"Value8", kString, 1, offsetof(CAccountInfo, Value8)},
    {"Value9", kString, 1, offsetof(CAccountInfo, Value9)},
    {"Value10", kString, 1, offsetof(CAccountInfo, Value10)},
    {"Value11", kString, 1, offsetof(CAccountInfo, Value11)},
    {"Value12", kInt32, 1, offsetof(CAccountInfo, Value12)},
    {"Value13", kInt32, 1, offsetof(CAccountInfo, Value13)},
    {"Value14", kInt32, 1, offsetof(CAccountInfo, Value14)},
    {"Value15", kInt32, 1, offsetof(CAccountInfo, Value15)},
    {"Value16", kString, 1, offsetof(CAccountInfo, Value16)},
    {"Value17", kInt32, 1, offsetof(CAccountInfo, Value17)},
    {"Value18", kDouble, 1, offsetof(CAccountInfo, Value18)},
    {"Value19", kDouble, 1, offsetof(CAccountInfo, Value19)},
    {"Value20", kInt32, 1, offsetof(CAccountInfo, Value20)},
    {"Value21", kInt32, 1, offsetof(CAccountInfo, Value21)},
    {"Value22", kFloat, 1, offsetof(CAccountInfo, Value22)},
    {"Value23", kInt32, 1, offsetof(CAccountInfo, Value23)},
    {"Value24", kString, 1, offsetof(CAccountInfo, Value24)},
    {"Value25", kString, 1, offsetof(CAccountInfo, Value25)},
    {"Value26", kString, 1, offsetof(CAccountInfo, Value26)},
    {"Value27", kString, 1, offsetof(CAccountInfo, Value27)},
    {"Value28", kString, 1, offsetof(CAccountInfo, Value28)},
    {"Value29", kString, 1, offsetof(CAccountInfo, Value29)},
    {"Value30", kString, 1, offsetof(CAccountInfo, Value30)},
    {"Value31", kString, 1, offsetof(CAccountInfo, Value31)},
    {"Value32", kString, 1, offsetof(CAccountInfo, Value32)},
    {"Value33", kString, 1, offsetof(CAccountInfo, Value33)},
    {"Value34", kString, 1, offsetof(CAccountInfo, Value34)},
    {"Value35", kInt32, 1, offsetof(CAccountInfo, Value35)},
    {"Value36", kInt32, 1, offsetof(CAccountInfo, Value36)},
    {"Value37", kInt32, 1, offsetof(CAccountInfo, Value37)},
    {"Value38", kFloat, 1, offsetof(CAccountInfo, Value38)},
    {"Value39", kFloat, 1, offsetof(CAccountInfo, Value39)},
    {"Value40", kString, 1, offsetof(CAccountInfo, Value40)},
    {"Value41", kString, 1, offsetof(CAccountInfo, Value41)},
    {"Value42", kFloat, 1, offsetof(CAccountInfo, Value42)},
    {"Value43", kInt32, 1, offsetof(CAccountInfo, Value43)},
    {"Value44", kFloat, 1, offsetof(CAccountInfo, Value44)},
    {"Funds", kArray, 1, offsetof(CAccountInfo, Funds)},
    {"Merchs", kArray, 1, offsetof(CAccountInfo, Merchs)},
    {"InternalNo", kInt32, 1, offsetof(CAccountInfo, InternalNo)},
};
constexpr LayoutField kServerFields[] = {
    {"Address", kString, 1, offsetof(CServer, Address)},
    {"Port", kInt32, 1, offsetof(CServer, Port)},
};

struct LayoutRecord {
    const char* name;
    const LayoutField* fields;
    size_t fieldCount;
    size_t size;  // sizeof as the compiler made it
};

#define TW_LAYOUT_RECORD(type, fields) \
    { #type, fields, sizeof(fields) / sizeof(fields[0]), sizeof(type) }
constexpr LayoutRecord kRecords[] = {
    TW_LAYOUT_RECORD(CForexRealtimePrice, kForexRealtimePriceFields),
    TW_LAYOUT_RECORD(CForexMerch, kForexMerchFields),
    TW_LAYOUT_RECORD(COrderInfo, kOrderInfoFields),
    TW_LAYOUT_RECORD(CBargain, kBargainFields),
    TW_LAYOUT_RECORD(CHistoryOrderInfo, kHistoryOrderInfoFields),
    TW_LAYOUT_RECORD(CCurrency, kCurrencyFields),
    TW_LAYOUT_RECORD(CBroadCast, kBroadCastFields),
    TW_LAYOUT_RECORD(CGroup, kGroupFields),
    TW_LAYOUT_RECORD(CBaseInfo, kBaseInfoFields),
    TW_LAYOUT_RECORD(CFundInfo, kFundInfoFields),
    TW_LAYOUT_RECORD(CAccountInfo, kAccountInfoFields),
    TW_LAYOUT_RECORD(CServer, kServerFields),
};
#undef TW_LAYOUT_RECORD

inline size_t Round(size_t offset, size_t alignment) {
    return (offset + alignment - 1) / alignment * alignment;
}

inline size_t WidthOf(LayoutWidth width, size_t recordSize) {
    switch (width) {
        case kInt32:
        case kFloat:
            return 4;
        case kDouble:
            return 8;
        case kArray:
            return 5 * sizeof(void*);
        case kLock:
            return sizeof(void*) == 8 ? 40 : 24;
        case kQuote:
            return recordSize;  // an embedded record
        default:
            return sizeof(void*);
    }
}

inline size_t AlignmentOf(LayoutWidth width) {
    switch (width) {
        case kInt32:
        case kFloat:
            return 4;
        case kDouble:
            return 8;
        default:
            return sizeof(void*);
    }
}

struct ExpectedLayout {
    size_t end = 0;
    size_t alignment = 1;

    size_t Place(LayoutWidth width, int count, size_t recordSize) {
        const size_t fieldAlignment = AlignmentOf(width);
        alignment = fieldAlignment > alignment ? fieldAlignment : alignment;
        const size_t offset = Round(end, fieldAlignment);
        end = offset + WidthOf(width, recordSize) * static_cast<size_t>(count);
        return offset;
    }
    size_t Size() const { return Round(end, alignment); }
};

// The data center's members by width, in declaration order; records are named by their index
// in kRecords. Its members are private: the size is compared everywhere, the offsets where the
// library's inside access reaches them.
enum DataCenterMember {
    kReservedMember = -1,
    kNotifyMember = -2,
    kLockMember = -3,
    kArrayMember = -4,
    kErrorCodeMember = -5
};
const int kDataCenterMembers[] = {
    kReservedMember,
    kNotifyMember,
    8,
    kLockMember,  // m_BaseInfo, m_csBaseInfo
    kArrayMember,
    kLockMember,  // m_Currencys
    7,
    kLockMember,  // m_Group
    6,
    kLockMember,  // m_BroadCast
    10,
    kLockMember,  // m_AccountInfo
    kArrayMember,
    kLockMember,  // m_ForexMerchs
    kArrayMember,
    kLockMember,  // m_Bargains
    kArrayMember,
    kLockMember,  // m_Orders
    kArrayMember,
    kLockMember,  // m_HistoryOrders
    kErrorCodeMember,
    kLockMember,
};
const size_t kDataCenterMemberCount = sizeof(kDataCenterMembers) / sizeof(kDataCenterMembers[0]);

}  // namespace interface_layout

struct ExpectedInterfaceLayout {
    size_t recordSizes[sizeof(interface_layout::kRecords) / sizeof(interface_layout::kRecords[0])];
    size_t dataCenterOffsets[interface_layout::kDataCenterMemberCount];
    size_t dataCenterSize;
};

// Lays out every record and the data center from the widths alone.
inline ExpectedInterfaceLayout ComputeExpectedLayout() {
    using namespace interface_layout;
    ExpectedInterfaceLayout result{};
    size_t index = 0;
    for (const LayoutRecord& record : kRecords) {
        ExpectedLayout expected;
        for (size_t i = 0; i < record.fieldCount; ++i) {
            expected.Place(record.fields[i].width, record.fields[i].count, result.recordSizes[0]);
        }
        result.recordSizes[index++] = expected.Size();
    }
    ExpectedLayout center;
    center.Place(kVirtualTable, 1, 0);
    for (size_t i = 0; i < kDataCenterMemberCount; ++i) {
        const int member = kDataCenterMembers[i];
        if (member >= 0) {
            // A record is as aligned as a pointer: each holds a string handle.
            result.dataCenterOffsets[i] = center.Place(kQuote, 1, result.recordSizes[member]);
            continue;
        }
        const LayoutWidth width = member == kLockMember     ? kLock
                                  : member == kArrayMember  ? kArray
                                  : member == kNotifyMember ? kVirtualTable
                                                            : kInt32;
        result.dataCenterOffsets[i] = center.Place(width, 1, 0);
    }
    result.dataCenterSize = center.Size();
    return result;
}

// Calls report once per size compared ("sizeof") and once per field whose offset differs.
// Returns the number of mismatches.
inline int CheckInterfaceLayout(void (*report)(const char* name, const char* field, size_t actual,
                                               size_t expected)) {
    using namespace interface_layout;
    const ExpectedInterfaceLayout expectedLayout = ComputeExpectedLayout();
    int mismatches = 0;
    size_t index = 0;
    for (const LayoutRecord& record : kRecords) {
        ExpectedLayout expected;
        for (size_t i = 0; i < record.fieldCount; ++i) {
            const LayoutField& field = record.fields[i];
            const size_t offset =
                expected.Place(field.width, field.count, expectedLayout.recordSizes[0]);
            if (offset != field.offset) {
                report(record.name, field.name, field.offset, offset);
                ++mismatches;
            }
        }
        const size_t size = expectedLayout.recordSizes[index++];
        report(record.name, "sizeof", record.size, size);
        mismatches += record.size == size ? 0 : 1;
    }
    struct Whole {
        const char* name;
        size_t actual;
        size_t expected;
    };
    const Whole wholes[] = {
        {"CString", sizeof(CString), WidthOf(kString, 0)},
        {"CArray<CBargain, CBargain&>", sizeof(CBargainArray), WidthOf(kArray, 0)},
        {"CCriticalSection", sizeof(CCriticalSection), WidthOf(kLock, 0)},
        {"CForexDataCenter", sizeof(CForexDataCenter), expectedLayout.dataCenterSize},
    };
    for (const Whole& whole : wholes) {
        report(whole.name, "sizeof", whole.actual, whole.expected);
        mismatches += whole.actual == whole.expected ? 0 : 1;
    }
    return mismatches;
}

#if defined(__GNUC__) || defined(__clang__)
#pragma GCC diagnostic pop
#endif
