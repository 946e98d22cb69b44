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
    line.Value1 = fields.CutText();
    line.Value2 = fields.CutText();
    line.MerchCode = fields.CutText();
    line.Lots = fields.CutFloat();
    line.Value5 = fields.CutText();
    line.Value6 = fields.CutText();
    line.OpenBargainNo = fields.CutInt();
    line.OpenInternalNo = fields.CutInt();
    line.Value9 = fields.CutText();
    line.Value10 = fields.CutText();
    line.Direction = fields.CutInt();
    line.OpenPrice = fields.CutFloat();
    line.OpenTriggerPrice2 = fields.CutFloat();
    line.OpenTriggerPrice1 = fields.CutFloat();
    line.Value15 = fields.CutText();
    line.Value16 = fields.CutText();
    line.BargainNo = fields.CutInt();
    line.InternalNo = fields.CutInt();
    line.Value19 = fields.CutText();
    line.Value20 = fields.CutText();
    for (float* target : {&line.ClosePrice, &line.Profit, &line.Value23, &line.Credit, &line.Charge,
                          &line.Value26}) {
        *target = fields.CutFloat();
    }
}

void ReadGroup(CByteCursor& fields, CGroup& group) {
    group.Value1 = fields.CutText();
    group.Value2 = fields.CutInt();
    group.Value3 = fields.CutText();
    group.Value4 = fields.CutText();
    group.Value5 = fields.CutInt();
    group.Value6 = fields.CutFloat();
    group.Value7 = fields.CutInt();
    for (float& cell : group.Value8) {
        cell = fields.CutFloat();
    }
}

// Fields 1 to 24. The last element of Value4 has no wire field and keeps what it held.
void ReadBaseTexts(CByteCursor& fields, CBaseInfo& info) {
    info.Value1 = fields.CutText();
    for (CString& text : info.Value2) {
        text = fields.CutText();
    }
    info.Value3 = fields.CutText();
    for (size_t i = 0; i + 1 < std::size(info.Value4); ++i) {
        info.Value4[i] = fields.CutText();
    }
}

// Fields 25 to 52.
void ReadBaseNumbers(CByteCursor& fields, CBaseInfo& info) {
    for (float* target : {&info.Value5, &info.Value6, &info.Value7, &info.Value8}) {
        *target = fields.CutFloat();
    }
    info.Value9 = fields.CutText();
    info.Value10 = fields.CutInt();
    info.Value11 = fields.CutFloat();
    for (float* target : {&info.BaseRateSwitch, &info.Value13, &info.Value14, &info.Value15,
                          &info.Value16, &info.Value17, &info.Value18, &info.Value19}) {
        *target = fields.CutFloat();
    }
    info.Value20 = fields.CutInt();
    info.Value21 = fields.CutText();
    for (float* target :
         {&info.Value22, &info.Value23, &info.Value24, &info.Value25, &info.Value26, &info.Value27,
          &info.Value28, &info.Value29, &info.Value30, &info.Value31, &info.Value32}) {
        *target = fields.CutFloat();
    }
}

}  // namespace

wire::Result CForexProtocol::ParseHistoryOrderInfo(std::string_view body,
                                                   CHistoryOrderInfoArray& history) {
    history.SetSize(0);
    const wire::Result result = BodyResult(body);
    ReadRecords(CByteCursor(body), history, ReadHistoryLine);
    NotifySink(ProtocolSink(m_pDataCenter),
               [&](CAbsForexNotify& sink) { sink.OnHistoryOrderInfo(history); });
    return result;
}

wire::Result CForexProtocol::ParseGroupInfo(std::string_view body, CGroup& group) {
    const wire::Result result = BodyResult(body);
    if (!body.empty()) {
        CByteCursor fields(body);  // one record, read straight from the body
        ReadGroup(fields, group);
    }
    NotifySink(ProtocolSink(m_pDataCenter),
               [&](CAbsForexNotify& sink) { sink.OnGroupInfo(group); });
    return result;
}

wire::Result CForexProtocol::ParseBaseInfo(std::string_view body, CBaseInfo& baseInfo) {
    const wire::Result result = BodyResult(body);
    if (!body.empty()) {
        CByteCursor rest(body);
        CByteCursor texts = rest.CutCursor(wire::kRecordEnd);
        ReadBaseTexts(texts, baseInfo);
        ReadBaseNumbers(rest, baseInfo);
    }
    NotifySink(ProtocolSink(m_pDataCenter),
               [&](CAbsForexNotify& sink) { sink.OnBaseInfo(baseInfo); });
    return result;
}
