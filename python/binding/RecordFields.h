#pragma once
// Every field of every record, by its C++ name and in declaration order, handed to a visitor as
// visit("Name", value). The one list the Python objects, their dict form and the order reader
// are made from, so a field added to a record is added here and nowhere else. Stateless.

#include <tradewire/Records.h>

namespace pyrecords {

template <class Visitor>
void VisitFields(Visitor& visit, const CForexRealtimePrice& r) {
    visit("MerchCode", r.MerchCode);
    visit("Bid", r.Bid);
    visit("Ask", r.Ask);
    visit("Price3", r.Price3);
    visit("Price4", r.Price4);
    visit("QuoteStamp", r.QuoteStamp);
}

template <class Visitor>
void VisitFields(Visitor& visit, const CForexMerch& r) {
    visit("MerchCode", r.MerchCode);
    visit("MerchNo", r.MerchNo);
    visit("MerchName", r.MerchName);
    visit("Value4", r.Value4);
    visit("Value5", r.Value5);
    visit("Value6", r.Value6);
    visit("ProfitFactor", r.ProfitFactor);
    visit("Value8", r.Value8);
    visit("Value9", r.Value9);
    visit("Value10", r.Value10);
    visit("Value11", r.Value11);
    visit("Value12", r.Value12);
    visit("Value13", r.Value13);
    visit("Value14", r.Value14);
    visit("MinSpread", r.MinSpread);
    visit("Value16", r.Value16);
    visit("Value17", r.Value17);
    visit("PriceUnit", r.PriceUnit);
    visit("ProfitDivisor", r.ProfitDivisor);
    visit("Value20", r.Value20);
    visit("Value21", r.Value21);
    visit("FirstBid", r.FirstBid);
    visit("FirstAsk", r.FirstAsk);
    visit("FirstPrice3", r.FirstPrice3);
    visit("FirstPrice4", r.FirstPrice4);
    visit("Value26", r.Value26);
    visit("Value27", r.Value27);
    visit("Value28", r.Value28);
    visit("Value29", r.Value29);
    visit("Value30", r.Value30);
    visit("Value31", r.Value31);
    visit("Value32", r.Value32);
    visit("Value33", r.Value33);
    visit("Value34", r.Value34);
    visit("Value35", r.Value35);
    visit("Value36", r.Value36);
    visit("Value37", r.Value37);
    visit("Value38", r.Value38);
    visit("Value39", r.Value39);
    visit("Value40", r.Value40);
    visit("Value41", r.Value41);
    visit("Value42", r.Value42);
    visit("Value43", r.Value43);
    visit("Value44", r.Value44);
    visit("Value45", r.Value45);
    visit("Value46", r.Value46);
    visit("Value47", r.Value47);
    visit("Value48", r.Value48);
    visit("Value49", r.Value49);
    visit("Value50", r.Value50);
    visit("Value51", r.Value51);
    visit("Value52", r.Value52);
    visit("Value53", r.Value53);
    visit("Value54", r.Value54);
    visit("Value55", r.Value55);
    visit("Value56", r.Value56);
    visit("Value57", r.Value57);
    visit("Value58", r.Value58);
    visit("Value59", r.Value59);
    visit("Value60", r.Value60);
    visit("RealtimePrice", r.RealtimePrice);
}

// Also reads an order in: `Order` is COrderInfo or const COrderInfo.
template <class Visitor, class Order>
void VisitOrderFields(Visitor& visit, Order& r) {
    visit("AccountCode", r.AccountCode);
    visit("MerchCode", r.MerchCode);
    visit("Value3", r.Value3);
    visit("InternalNo", r.InternalNo);
    visit("Value5", r.Value5);
    visit("OrderNo", r.OrderNo);
    visit("BargainNo", r.BargainNo);
    visit("OrderKind", r.OrderKind);
    visit("Value9", r.Value9);
    visit("Value10", r.Value10);
    visit("Value11", r.Value11);
    visit("Value12", r.Value12);
    visit("CloseFlag", r.CloseFlag);
    visit("Value14", r.Value14);
    visit("Value15", r.Value15);
    visit("Value16", r.Value16);
    visit("TriggerPrice1", r.TriggerPrice1);
    visit("TriggerPrice2", r.TriggerPrice2);
    visit("Value19", r.Value19);
    visit("Value20", r.Value20);
    visit("Value21", r.Value21);
    visit("Value22", r.Value22);
    visit("Value23", r.Value23);
    visit("Value24", r.Value24);
    visit("Value25", r.Value25);
    visit("Value26", r.Value26);
    visit("Value27", r.Value27);
    visit("Value28", r.Value28);
    visit("Value29", r.Value29);
    visit("Value30", r.Value30);
    visit("Value31", r.Value31);
}

template <class Visitor>
void VisitFields(Visitor& visit, const COrderInfo& r) {
    VisitOrderFields(visit, r);
}

template <class Visitor>
void VisitFields(Visitor& visit, const CBargain& r) {
    visit("Value1", r.Value1);
    visit("MerchCode", r.MerchCode);
    visit("Value3", r.Value3);
    visit("Value4", r.Value4);
    visit("BargainNo", r.BargainNo);
    visit("OpenBargainNo", r.OpenBargainNo);
    visit("InternalNo", r.InternalNo);
    visit("Value8", r.Value8);
    visit("Value9", r.Value9);
    visit("Direction", r.Direction);
    visit("CloseFlag", r.CloseFlag);
    visit("Lots", r.Lots);
    visit("Price", r.Price);
    visit("TriggerPrice1", r.TriggerPrice1);
    visit("TriggerPrice2", r.TriggerPrice2);
    visit("Value16", r.Value16);
    visit("Charge", r.Charge);
    visit("Credit", r.Credit);
    visit("Value19", r.Value19);
    visit("Value20", r.Value20);
    visit("Value21", r.Value21);
}

template <class Visitor>
void VisitFields(Visitor& visit, const CHistoryOrderInfo& r) {
    visit("Value1", r.Value1);
    visit("Value2", r.Value2);
    visit("MerchCode", r.MerchCode);
    visit("Lots", r.Lots);
    visit("Value5", r.Value5);
    visit("Value6", r.Value6);
    visit("OpenBargainNo", r.OpenBargainNo);
    visit("OpenInternalNo", r.OpenInternalNo);
    visit("Value9", r.Value9);
    visit("Value10", r.Value10);
    visit("Direction", r.Direction);
    visit("OpenPrice", r.OpenPrice);
    visit("OpenTriggerPrice2", r.OpenTriggerPrice2);
    visit("OpenTriggerPrice1", r.OpenTriggerPrice1);
    visit("Value15", r.Value15);
    visit("Value16", r.Value16);
    visit("BargainNo", r.BargainNo);
    visit("InternalNo", r.InternalNo);
    visit("Value19", r.Value19);
    visit("Value20", r.Value20);
    visit("ClosePrice", r.ClosePrice);
    visit("Profit", r.Profit);
    visit("Value23", r.Value23);
    visit("Credit", r.Credit);
    visit("Charge", r.Charge);
    visit("Value26", r.Value26);
}

template <class Visitor>
void VisitFields(Visitor& visit, const CCurrency& r) {
    visit("CurrencyCode", r.CurrencyCode);
    visit("Value2", r.Value2);
    visit("Value3", r.Value3);
    visit("Value4", r.Value4);
    visit("UsdRate", r.UsdRate);
    visit("Value6", r.Value6);
    visit("Value7", r.Value7);
    visit("Value8", r.Value8);
}

template <class Visitor>
void VisitFields(Visitor& visit, const CBroadCast& r) {
    visit("Value1", r.Value1);
    visit("Value2", r.Value2);
    visit("Value3", r.Value3);
    visit("Value4", r.Value4);
    visit("Value5", r.Value5);
    visit("Value6", r.Value6);
    visit("Value7", r.Value7);
    visit("Value8", r.Value8);
}

template <class Visitor>
void VisitFields(Visitor& visit, const CGroup& r) {
    visit("Value1", r.Value1);
    visit("Value2", r.Value2);
    visit("Value3", r.Value3);
    visit("Value4", r.Value4);
    visit("Value5", r.Value5);
    visit("Value6", r.Value6);
    visit("Value7", r.Value7);
    visit("Value8", r.Value8);
}

template <class Visitor>
void VisitFields(Visitor& visit, const CBaseInfo& r) {
    visit("Value1", r.Value1);
    visit("Value2", r.Value2);
    visit("Value3", r.Value3);
    visit("Value4", r.Value4);
    visit("Value5", r.Value5);
    visit("Value6", r.Value6);
    visit("Value7", r.Value7);
    visit("Value8", r.Value8);
    visit("Value9", r.Value9);
    visit("Value10", r.Value10);
    visit("Value11", r.Value11);
    visit("BaseRateSwitch", r.BaseRateSwitch);
    visit("Value13", r.Value13);
    visit("Value14", r.Value14);
    visit("Value15", r.Value15);
    visit("Value16", r.Value16);
    visit("Value17", r.Value17);
    visit("Value18", r.Value18);
    visit("Value19", r.Value19);
    visit("Value20", r.Value20);
    visit("Value21", r.Value21);
    visit("Value22", r.Value22);
    visit("Value23", r.Value23);
    visit("Value24", r.Value24);
    visit("Value25", r.Value25);
    visit("Value26", r.Value26);
    visit("Value27", r.Value27);
    visit("Value28", r.Value28);
    visit("Value29", r.Value29);
    visit("Value30", r.Value30);
    visit("Value31", r.Value31);
    visit("Value32", r.Value32);
}

template <class Visitor>
void VisitFields(Visitor& visit, const CFundInfo& r) {
    visit("Balance", r.Balance);
    visit("Value2", r.Value2);
    visit("Value3", r.Value3);
    visit("Value4", r.Value4);
    visit("Value5", r.Value5);
    visit("Value6", r.Value6);
    visit("Value7", r.Value7);
    visit("Value8", r.Value8);
    visit("Value9", r.Value9);
    visit("Value10", r.Value10);
    visit("Value11", r.Value11);
    visit("Value12", r.Value12);
    visit("Value13", r.Value13);
    visit("Value14", r.Value14);
}

template <class Visitor>
void VisitFields(Visitor& visit, const CAccountInfo& r) {
    visit("AccountCode", r.AccountCode);
    visit("Value2", r.Value2);
    visit("Value3", r.Value3);
    visit("Value4", r.Value4);
    visit("Value5", r.Value5);
    visit("Value6", r.Value6);
    visit("Value7", r.Value7);
    visit("Value8", r.Value8);
    visit("Value9", r.Value9);
    visit("Value10", r.Value10);
    visit("Value11", r.Value11);
    visit("Value12", r.Value12);
    visit("Value13", r.Value13);
    visit("Value14", r.Value14);
    visit("Value15", r.Value15);
    visit("Value16", r.Value16);
    visit("Value17", r.Value17);
    visit("Value18", r.Value18);
    visit("Value19", r.Value19);
    visit("Value20", r.Value20);
    visit("Value21", r.Value21);
    visit("Value22", r.Value22);
    visit("Value23", r.Value23);
    visit("Value24", r.Value24);
    visit("Value25", r.Value25);
    visit("Value26", r.Value26);
    visit("Value27", r.Value27);
    visit("Value28", r.Value28);
    visit("Value29", r.Value29);
    visit("Value30", r.Value30);
    visit("Value31", r.Value31);
    visit("Value32", r.Value32);
    visit("Value33", r.Value33);
    visit("Value34", r.Value34);
    visit("Value35", r.Value35);
    visit("Value36", r.Value36);
    visit("Value37", r.Value37);
    visit("Value38", r.Value38);
    visit("Value39", r.Value39);
    visit("Value40", r.Value40);
    visit("Value41", r.Value41);
    visit("Value42", r.Value42);
    visit("Value43", r.Value43);
    visit("Value44", r.Value44);
    visit("Funds", r.Funds);
    visit("Merchs", r.Merchs);
    visit("InternalNo", r.InternalNo);
}
}  // namespace pyrecords
