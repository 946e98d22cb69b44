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
    fields.CutInto(bargain.Value1, bargain.MerchCode, bargain.Value3, bargain.Value4,
                   bargain.BargainNo, bargain.OpenBargainNo, bargain.InternalNo, bargain.Value8,
                   bargain.Value9, bargain.Direction, bargain.CloseFlag, bargain.Lots,
                   bargain.Price, bargain.TriggerPrice1, bargain.TriggerPrice2, bargain.Value16,
                   bargain.Charge, bargain.Credit, bargain.Value19, bargain.Value20,
                   bargain.Value21);
}

void ReadOrder(CByteCursor& fields, COrderInfo& order) {
    fields.CutInto(order.AccountCode, order.MerchCode, order.Value3, order.InternalNo, order.Value5,
                   order.OrderNo, order.BargainNo, order.OrderKind, order.Value9, order.Value10,
                   order.Value11, order.Value12, order.CloseFlag, order.Value14, order.Value15,
                   order.Value16, order.TriggerPrice1, order.TriggerPrice2, order.Value19,
                   order.Value20, order.Value21, order.Value22, order.Value23, order.Value24,
                   order.Value25, order.Value26, order.Value27, order.Value28, order.Value29,
                   order.Value30, order.Value31);
}

}  // namespace

wire::Result CForexProtocol::ParseBargainsInfo(std::string_view body, CBargainArray& bargains) {
    ReplaceRecords(body, bargains, ReadBargain);
    NotifySink(ProtocolSink(m_pDataCenter),
               [&](CAbsForexNotify& sink) { sink.OnBargainsInfo(bargains); });
    return BodyResult(body);
}

wire::Result CForexProtocol::ParseOrdersInfo(std::string_view body, COrderInfoArray& orders) {
    ReplaceRecords(body, orders, ReadOrder);
    if (orders.IsEmpty()) {
        return wire::Result::NothingRead;
    }
    NotifySink(ProtocolSink(m_pDataCenter),
               [&](CAbsForexNotify& sink) { sink.OnOrdersInfo(orders); });
    return wire::Result::Handled;
}
