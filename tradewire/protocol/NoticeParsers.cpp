// Free text from the server: the text event (9002), passed on whole, and the broadcast (9524),
// kept in the data center.

#include "datacenter/NotifySink.h"
#include "platform/TextCodec.h"
#include "protocol/ByteCursor.h"
#include "protocol/ForexProtocol.h"
#include "protocol/ProtocolSink.h"

wire::Result CForexProtocol::ParseTextEvent(std::string_view body) {
    if (body.empty()) {
        return wire::Result::NothingRead;
    }
    // Not split into fields: the terminal receives the body's control bytes along with the text.
    const CString text = AnsiToWide(body);
    NotifySink(ProtocolSink(m_pDataCenter),
               [&](CAbsForexNotify& sink) { sink.OnTextMessage(text); });
    return wire::Result::Handled;
}

wire::Result CForexProtocol::ParseBroadCast(std::string_view body, CBroadCast& broadCast) {
    if (body.empty()) {
        return wire::Result::NothingRead;
    }
    CByteCursor fields(body);
    broadCast.Value1 = fields.CutInt();
    broadCast.Value2 = fields.CutFloat();
    broadCast.Value3 = fields.CutFloat();
    for (CString* target : {&broadCast.Value4, &broadCast.Value5, &broadCast.Value6,
                            &broadCast.Value7, &broadCast.Value8}) {
        *target = fields.CutText();
    }
    NotifySink(ProtocolSink(m_pDataCenter),
               [&](CAbsForexNotify& sink) { sink.OnBroadCast(broadCast); });
    return wire::Result::Handled;
}
