// What a terminal hears first after logging in: the login reply (8000), the error report (9999)
// and the account with its fund lines, its own instruments and the internal-number counter
// (9501).

#include "datacenter/NotifySink.h"
#include "datacenter/QuoteIndex.h"
#include "platform/NumberText.h"
#include "protocol/ByteCursor.h"
#include "protocol/ForexProtocol.h"
#include "protocol/ProtocolSink.h"
#include "protocol/RecordList.h"

namespace {

void ReadAccountFields(CByteCursor& fields, CAccountInfo& account) {
    for (CString* target :
         {&account.Value2, &account.Value3, &account.Value4, &account.Value5, &account.Value6,
          &account.Value7, &account.Value8, &account.Value9, &account.Value10, &account.Value11}) {
        *target = fields.CutText();
    }
    for (int* target : {&account.Value12, &account.Value13, &account.Value14, &account.Value15}) {
        *target = fields.CutInt();
    }
    account.Value16 = fields.CutText();
    account.Value17 = fields.CutInt();
    account.Value18 = fields.CutDouble();
    account.Value19 = fields.CutDouble();
    account.Value20 = fields.CutInt();
    account.Value21 = fields.CutInt();
    account.Value22 = fields.CutFloat();
    account.Value23 = fields.CutInt();  // a 32-bit long on every system
    for (CString* target : {&account.Value24, &account.Value25, &account.Value26, &account.Value27,
                            &account.Value28, &account.Value29, &account.Value30}) {
        *target = fields.CutText();
    }
    fields.CutField();  // field 30 carries nothing the account keeps
    for (CString* target :
         {&account.Value31, &account.Value32, &account.Value33, &account.Value34}) {
        *target = fields.CutText();
    }
    for (int* target : {&account.Value35, &account.Value36, &account.Value37}) {
        *target = fields.CutInt();
    }
    account.Value38 = fields.CutFloat();
    account.Value39 = fields.CutFloat();
    account.Value40 = fields.CutText();
    account.Value41 = fields.CutText();
    account.Value42 = fields.CutFloat();
    fields.CutField();  // field 43 likewise
    account.Value43 = fields.CutInt();
    account.Value44 = fields.CutFloat();
}

void ReadFundLine(CByteCursor& fields, CFundInfo& fund) {
    fund.Balance = fields.CutDouble();
    for (float* target : {&fund.Value2, &fund.Value3, &fund.Value4, &fund.Value5, &fund.Value6}) {
        *target = fields.CutFloat();
    }
    fund.Value7 = fields.CutDouble();
    fund.Value8 = fields.CutFloat();
    for (double* target :
         {&fund.Value9, &fund.Value10, &fund.Value11, &fund.Value12, &fund.Value13}) {
        *target = fields.CutDouble();
    }
    fund.Value14 = fields.CutText();
}

}  // namespace

wire::Result CForexProtocol::ParseLoginReply(std::string_view /*body*/) {
    NotifySink(ProtocolSink(m_pDataCenter), [](CAbsForexNotify& sink) { sink.OnLoginReply(); });
    return wire::Result::Handled;
}

wire::Result CForexProtocol::ParseErrorCode(std::string_view body, E_ErrorCode& errorCode) {
    if (body.empty()) {
        return wire::Result::NothingRead;
    }
    CByteCursor fields(body);
    int code = 0;
    if (!fields.CutText().IsEmpty()) {
        fields.CutInt();  // read and not used
        code = fields.CutInt();
    } else {
        // No field terminator at all, or a body that starts with one: the code is what is left.
        code = ParseAtoi(fields.Rest());
    }
    errorCode = static_cast<E_ErrorCode>(code);
    NotifySink(ProtocolSink(m_pDataCenter), [&](CAbsForexNotify& sink) { sink.OnErrorCode(code); });
    return wire::Result::Handled;
}

wire::Result CForexProtocol::ParseAccountInfo(std::string_view body, CAccountInfo& account) {
    if (body.empty()) {
        return wire::Result::NothingRead;
    }
    CByteCursor sections(body);
    account.AccountCode = sections.CutCursor(wire::kSectionEnd).CutText();

    CByteCursor accountFields = sections.CutCursor(wire::kSectionEnd);
    ReadAccountFields(accountFields, account);

    account.Funds.SetSize(0);
    ReadRecords(sections.CutCursor(wire::kSectionEnd), account.Funds, ReadFundLine);

    // An empty instrument section leaves the account's instruments as they were.
    ParseForexMerchs(sections.Cut(wire::kSectionEnd), account.Merchs);

    sections.Cut(wire::kSectionEnd);  // block 5 carries nothing the account keeps
    account.InternalNo = sections.CutCursor(wire::kSectionEnd).CutInt();

    NotifySink(ProtocolSink(m_pDataCenter),
               [&](CAbsForexNotify& sink) { sink.OnAccountInfo(account); });
    // The sink was handed the account's instruments by reference, and quotes read them.
    if (m_pDataCenter != nullptr) {
        CQuoteIndex::InvalidateFor(*m_pDataCenter);
    }
    return wire::Result::Handled;
}
