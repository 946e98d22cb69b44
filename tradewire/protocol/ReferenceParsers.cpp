// The remaining stores: the history list (9514), the group record (9515) and the base
// information (9516), whose BaseRateSwitch the profit calculation reads. All three report the
// store even for an empty body, so a terminal that asked for history always hears back.

#include "datacenter/NotifySink.h"
#include "protocol/ByteCursor.h"
#include "protocol/ForexProtocol.h"
#include "protocol/ProtocolSink.h"
#include "protocol/RecordList.h"

namespace {

void ReadHistoryLine(CByteCursor& fields, CHistoryOrderInfo& line) {
    fields.CutInto(line.Value1, line.Value2, line.MerchCode, line.Lots, line.Value5, line.Value6,
                   line.OpenBargainNo, line.OpenInternalNo, line.Value9, line.Value10,
                   line.Direction, line.OpenPrice, line.OpenTriggerPrice2, line.OpenTriggerPrice1,
                   line.Value15, line.Value16, line.BargainNo, line.InternalNo, line.Value19,
                   line.Value20, line.ClosePrice, line.Profit, line.Value23, line.Credit,
                   line.Charge, line.Value26);
}

void ReadGroup(CByteCursor& fields, CGroup& group) {
    fields.CutInto(group.Value1, group.Value2, group.Value3, group.Value4, group.Value5,
                   group.Value6, group.Value7, group.Value8);
}

// Fields 1 to 24. The last element of Value4 has no wire field and keeps what it held.
void ReadBaseTexts(CByteCursor& fields, CBaseInfo& info) {
    fields.CutInto(info.Value1, info.Value2, info.Value3);
    for (size_t i = 0; i + 1 < std::size(info.Value4); ++i) {
        info.Value4[i] = fields.CutText();
    }
}

// Fields 25 to 52.
void ReadBaseNumbers(CByteCursor& fields, CBaseInfo& info) {
    fields.CutInto(info.Value5, info.Value6, info.Value7, info.Value8, info.Value9, info.Value10,
                   info.Value11, info.BaseRateSwitch, info.Value13, info.Value14, info.Value15,
                   info.Value16, info.Value17, info.Value18, info.Value19, info.Value20,
                   info.Value21, info.Value22, info.Value23, info.Value24, info.Value25,
                   info.Value26, info.Value27, info.Value28, info.Value29, info.Value30,
                   info.Value31, info.Value32);
}

// The texts (fields 1 to 24) make the first record; the numbers follow in the rest of the body.
void ReadBaseInfo(CByteCursor rest, CBaseInfo& info) {
    CByteCursor texts = rest.CutCursor(wire::kRecordEnd);
    ReadBaseTexts(texts, info);
    ReadBaseNumbers(rest, info);
}

}  // namespace

wire::Result CForexProtocol::ParseHistoryOrderInfo(std::string_view body,
                                                   CHistoryOrderInfoArray& history) {
    ReplaceRecords(body, history, ReadHistoryLine);
    NotifySink(ProtocolSink(m_pDataCenter),
               [&](CAbsForexNotify& sink) { sink.OnHistoryOrderInfo(history); });
    return BodyResult(body);
}

wire::Result CForexProtocol::ParseGroupInfo(std::string_view body, CGroup& group) {
    if (!body.empty()) {
        CByteCursor fields(body);  // one record, read straight from the body
        ReadGroup(fields, group);
    }
    NotifySink(ProtocolSink(m_pDataCenter),
               [&](CAbsForexNotify& sink) { sink.OnGroupInfo(group); });
    return BodyResult(body);
}

wire::Result CForexProtocol::ParseBaseInfo(std::string_view body, CBaseInfo& baseInfo) {
    if (!body.empty()) {
        ReadBaseInfo(CByteCursor(body), baseInfo);
    }
    NotifySink(ProtocolSink(m_pDataCenter),
               [&](CAbsForexNotify& sink) { sink.OnBaseInfo(baseInfo); });
    return BodyResult(body);
}
