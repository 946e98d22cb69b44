// The deal list (9512, and the one-deal event 7003) and the order list (9513, and the one-order
// events 7002, 7004, 7005). The two differ on purpose in what an empty result reports: the deal
// list is always reported, the order list only when it holds an order.

#include "datacenter/NotifySink.h"
#include "protocol/ByteCursor.h"
#include "protocol/ForexProtocol.h"
#include "protocol/ProtocolSink.h"
#include "protocol/RecordList.h"

namespace {

void ReadBargain(CByteCursor& fields, CBargain& bargain) {
    bargain.Value1 = fields.CutText();
    bargain.MerchCode = fields.CutText();
    bargain.Value3 = fields.CutText();
    bargain.Value4 = fields.CutText();
    bargain.BargainNo = fields.CutInt();
    bargain.OpenBargainNo = fields.CutInt();
    bargain.InternalNo = fields.CutInt();
    bargain.Value8 = fields.CutText();
    bargain.Value9 = fields.CutText();
    bargain.Direction = fields.CutInt();
    bargain.CloseFlag = fields.CutInt();
    for (float* target : {&bargain.Lots, &bargain.Price, &bargain.TriggerPrice1,
                          &bargain.TriggerPrice2, &bargain.Value16, &bargain.Charge,
                          &bargain.Credit, &bargain.Value19, &bargain.Value20, &bargain.Value21}) {
        *target = fields.CutFloat();
    }
}

void ReadOrder(CByteCursor& fields, COrderInfo& order) {
    order.AccountCode = fields.CutText();
    order.MerchCode = fields.CutText();
    order.Value3 = fields.CutText();
    order.InternalNo = fields.CutInt();
    order.Value5 = fields.CutText();
    order.OrderNo = fields.CutInt();
    order.BargainNo = fields.CutInt();
    order.OrderKind = fields.CutInt();
    order.Value9 = fields.CutText();
    for (int* target : {&order.Value10, &order.Value11, &order.Value12, &order.CloseFlag}) {
        *target = fields.CutInt();
    }
    for (float* target :
         {&order.Value14, &order.Value15, &order.Value16, &order.TriggerPrice1,
          &order.TriggerPrice2, &order.Value19, &order.Value20, &order.Value21, &order.Value22,
          &order.Value23, &order.Value24, &order.Value25, &order.Value26, &order.Value27}) {
        *target = fields.CutFloat();
    }
    order.Value28 = fields.CutText();
    for (float* target : {&order.Value29, &order.Value30, &order.Value31}) {
        *target = fields.CutFloat();
    }
}

}  // namespace

wire::Result CForexProtocol::ParseBargainsInfo(std::string_view body, CBargainArray& bargains) {
    bargains.SetSize(0);
    const wire::Result result = BodyResult(body);
    ReadRecords(CByteCursor(body), bargains, ReadBargain);
    NotifySink(ProtocolSink(m_pDataCenter),
               [&](CAbsForexNotify& sink) { sink.OnBargainsInfo(bargains); });
    return result;
}

wire::Result CForexProtocol::ParseOrdersInfo(std::string_view body, COrderInfoArray& orders) {
    orders.SetSize(0);
    ReadRecords(CByteCursor(body), orders, ReadOrder);
    if (orders.IsEmpty()) {
        return wire::Result::NothingRead;
    }
    NotifySink(ProtocolSink(m_pDataCenter),
               [&](CAbsForexNotify& sink) { sink.OnOrdersInfo(orders); });
    return wire::Result::Handled;
}
