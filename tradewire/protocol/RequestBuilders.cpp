#include <cstdio>
#include <string>

#include "datacenter/DataCenterAccess.h"
#include "platform/LocalDate.h"
#include "platform/TextCodec.h"
#include "protocol/ForexProtocol.h"

namespace {

// Built as wide text, so the field end is widened once here.
constexpr wchar_t kFieldEnd = static_cast<wchar_t>(wire::kFieldEnd);

// The body of one outbound record, built as wide text and converted once at the end, so the
// length field counts the bytes the codeset really produces.
class CBodyBuilder {
  public:
    CBodyBuilder& Text(const CString& text) {
        m_body += text;
        m_body += kFieldEnd;
        return *this;
    }
    // A field whose bytes ToBytes reports; one per body.
    CBodyBuilder& HiddenText(const CString& text) {
        m_hiddenStart = m_body.GetLength();
        m_hiddenEnd = m_hiddenStart + text.GetLength();
        return Text(text);
    }
    CBodyBuilder& Int(int value) { return Number("%d", value); }
    // Empty field when the value means "none".
    CBodyBuilder& IntUnless(int value, int none) {
        return value == none ? Text(CString()) : Int(value);
    }
    // Rounded to a whole number, no decimal point; the C library rounds exact halves to even.
    CBodyBuilder& Float(float value) { return Number("%0.0f", static_cast<double>(value)); }
    CBodyBuilder& Date(long seconds) {
        int year = 0;
        int month = 0;
        int day = 0;
        if (!LocalDate::FromSeconds(seconds, year, month, day)) {
            return Text(CString());  // a time the calendar cannot show is sent as no date
        }
        return Number("%04d%02d%02d", year, month, day);
    }
    std::string ToBytes() const { return WideToAnsi(m_body); }
    // The body's bytes, and in `hidden` the span of the hidden field's bytes within them. The
    // text before the field, the field and the text after it are converted one by one, so the
    // span is exact whatever the texts hold; for a codeset without shift states the bytes are
    // those of one conversion.
    std::string ToBytes(CFrameSpan& hidden) const {
        std::string bytes = WideToAnsi(m_body.Left(m_hiddenStart));
        const std::string field =
            WideToAnsi(m_body.Mid(m_hiddenStart, m_hiddenEnd - m_hiddenStart));
        hidden.offset = bytes.size();
        hidden.size = field.size();
        bytes += field;
        bytes += WideToAnsi(m_body.Mid(m_hiddenEnd));
        return bytes;
    }

  private:
    template <class... Args>
    CBodyBuilder& Number(const char* format, Args... args) {
        char text[64];
        // NOLINTNEXTLINE(cppcoreguidelines-pro-type-vararg): the C library's number forms
        const int length = std::snprintf(text, sizeof(text), format, args...);
        CString field;
        for (int i = 0; i < length && i < static_cast<int>(sizeof(text)) - 1; ++i) {
            field += static_cast<wchar_t>(static_cast<unsigned char>(text[i]));
        }
        return Text(field);
    }

    CString m_body;
    int m_hiddenStart = 0;  // characters of m_body
    int m_hiddenEnd = 0;
};

// Where a body packed by PackMessage starts in its frame: the record end is its last byte.
size_t BodyOffset(const std::string& frame, const std::string& body) {
    return frame.size() - body.size() - 1;
}

}  // namespace

std::string CForexProtocol::BuildLogin(const CString& user, const CString& password,
                                       CFrameSpan* passwordBytes) {
    CBodyBuilder body;
    body.Text(user)
        .Text(user)
        .HiddenText(password)
        .Text(L"0")
        .Int(LoginSerial)
        .Text(L"2")
        .Text(L"1.0.0.1");
    CFrameSpan hidden;
    const std::string bytes = body.ToBytes(hidden);
    std::string frame = PackMessage(wire::kLoginRequest, bytes);
    if (passwordBytes != nullptr) {
        passwordBytes->offset = BodyOffset(frame, bytes) + hidden.offset;
        passwordBytes->size = hidden.size;
    }
    return frame;
}

std::string CForexProtocol::BuildLogout(const CString& user) {
    CBodyBuilder body;
    body.Text(user).Text(user);
    return PackMessage(wire::kLogoutRequest, body.ToBytes());
}

std::string CForexProtocol::BuildCommitBill(const COrderInfo& order) {
    CBodyBuilder body;
    body.Text(order.AccountCode)
        .Text(order.AccountCode)
        .Text(order.MerchCode)
        .Text(order.Value3)
        .Int(order.InternalNo)
        .Text(order.Value5)
        .IntUnless(order.OrderNo, 0)
        .IntUnless(order.BargainNo, 0)
        .Int(order.OrderKind)
        .Text(order.Value9)
        .IntUnless(order.Value10, -1)
        .Int(order.Value11)
        .Int(order.Value12)
        .Int(order.CloseFlag)
        .Float(order.Value14)
        .Float(order.Value15)
        .Float(order.Value16)
        .Float(order.TriggerPrice1)
        .Float(order.TriggerPrice2)
        .Float(order.Value19)
        .Text(L"0")
        .Text(L"0");
    for (int i = 0; i < 6; ++i) {
        body.Text(CString());
    }
    body.Text(order.Value28).Float(order.Value29).Text(L"0").Text(L"0");
    std::string frame = PackMessage(wire::kOrderRequest, body.ToBytes());
    LastCommittedOrder.Store(order);
    return frame;
}

std::string CForexProtocol::BuildHistoryRequest(long from, long to) {
    CString accountCode;
    if (m_pDataCenter != nullptr) {
        // Copied under the account lock: the processing thread may be refilling the account.
        CDataCenterAccess access(*m_pDataCenter);
        CScopedLock guard(access.AccountInfoLock());
        accountCode = access.AccountInfo().AccountCode;
    }
    CBodyBuilder body;
    body.Text(accountCode).Text(accountCode).Date(from).Date(to);
    return PackMessage(wire::kHistoryRequest, body.ToBytes());
}
