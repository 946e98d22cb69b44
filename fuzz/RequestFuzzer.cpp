// The four request builders with arbitrary record texts, numbers and dates. Besides the
// sanitizers, each frame is checked against what the server relies on: the declared length is
// the frame's size, the header and the record end are in place, (when no text carries the
// field separator itself) every request has the same number of fields whatever its contents,
// and the bytes a login reports as its password are exactly the password's.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "datacenter/DataCenterAccess.h"
#include "platform/TextCodec.h"
#include "protocol/ForexProtocol.h"
#include "vocabulary/WireVocabulary.h"

namespace {

constexpr size_t kLargestDeclaredLength = 999999;

// Wide text of any code unit value, surrogates and values beyond U+10FFFF included. Built
// through the zero-terminated constructor, as a caller's text always is.
CString ConsumeText(FuzzedDataProvider& input) {
    const size_t length = input.ConsumeIntegralInRange<size_t>(0, 64);
    std::wstring text;
    for (size_t i = 0; i < length && input.remaining_bytes() > 0; ++i) {
        const auto low = input.ConsumeIntegral<std::uint8_t>();
        const auto high = input.ConsumeIntegral<std::uint8_t>();
        wchar_t ch = static_cast<wchar_t>(low | (high << 8));
        if (high == 0xFF) {
            ch = static_cast<wchar_t>(0x10FF00 + low);  // the top of the code space and beyond
        }
        text += ch;
    }
    return CString(text.c_str());
}

// Any bit pattern: NaN, infinities and subnormals included.
float ConsumeFloat(FuzzedDataProvider& input) {
    const auto bits = input.ConsumeIntegral<std::uint32_t>();
    float value = 0;
    std::memcpy(&value, &bits, sizeof(value));
    return value;
}

COrderInfo ConsumeOrder(FuzzedDataProvider& input) {
    COrderInfo order;
    order.AccountCode = ConsumeText(input);
    order.MerchCode = ConsumeText(input);
    order.Value3 = ConsumeText(input);
    order.InternalNo = input.ConsumeIntegral<int>();
    order.Value5 = ConsumeText(input);
    order.OrderNo = input.ConsumeIntegral<int>();
    order.BargainNo = input.ConsumeIntegral<int>();
    order.OrderKind = input.ConsumeIntegral<int>();
    order.Value9 = ConsumeText(input);
    order.Value10 = input.ConsumeIntegral<int>();
    order.Value11 = input.ConsumeIntegral<int>();
    order.Value12 = input.ConsumeIntegral<int>();
    order.CloseFlag = input.ConsumeIntegral<int>();
    order.Value14 = ConsumeFloat(input);
    order.Value15 = ConsumeFloat(input);
    order.Value16 = ConsumeFloat(input);
    order.TriggerPrice1 = ConsumeFloat(input);
    order.TriggerPrice2 = ConsumeFloat(input);
    order.Value19 = ConsumeFloat(input);
    order.Value28 = ConsumeText(input);
    order.Value29 = ConsumeFloat(input);
    return order;
}

bool HasSeparator(const CString& text) {
    return text.Find(static_cast<wchar_t>(wire::kFieldEnd)) >= 0;
}

size_t CountFields(const std::string& frame) {
    return static_cast<size_t>(std::count(frame.begin(), frame.end(), wire::kFieldEnd));
}

void CheckFrame(const std::string& frame, int code) {
    const std::string header = std::to_string(code) + wire::kHeaderEnd;
    if (frame.size() < wire::kFixedHeaderSize + header.size() + 1 ||
        frame.back() != wire::kRecordEnd) {
        std::abort();
    }
    if (frame.compare(wire::kFixedHeaderSize, header.size(), header) != 0 ||
        frame.compare(wire::kLengthFieldSize, wire::kZeroFieldSize, "000000") != 0) {
        std::abort();
    }
    if (frame.size() <= kLargestDeclaredLength &&
        std::stoul(frame.substr(0, wire::kLengthFieldSize)) != frame.size()) {
        std::abort();
    }
}

void CheckFieldCount(const std::string& frame, const std::string& reference, bool comparable) {
    if (comparable && CountFields(frame) != CountFields(reference)) {
        std::abort();
    }
}

void FuzzLogin(CForexProtocol& protocol, FuzzedDataProvider& input) {
    const CString user = ConsumeText(input);
    const CString password = ConsumeText(input);
    CFrameSpan passwordBytes;
    const std::string frame = protocol.BuildLogin(user, password, &passwordBytes);
    CheckFrame(frame, wire::kLoginRequest);
    // What a capture hides must be the password, whatever either text holds.
    if (passwordBytes.offset + passwordBytes.size > frame.size() ||
        frame.compare(passwordBytes.offset, passwordBytes.size, WideToAnsi(password)) != 0) {
        std::abort();
    }
    CheckFieldCount(frame, protocol.BuildLogin(L"", L""),
                    !HasSeparator(user) && !HasSeparator(password));
}

void FuzzLogout(CForexProtocol& protocol, FuzzedDataProvider& input) {
    const CString user = ConsumeText(input);
    const std::string frame = protocol.BuildLogout(user);
    CheckFrame(frame, wire::kLogoutRequest);
    CheckFieldCount(frame, protocol.BuildLogout(L""), !HasSeparator(user));
}

void FuzzCommitBill(CForexProtocol& protocol, FuzzedDataProvider& input) {
    const COrderInfo order = ConsumeOrder(input);
    const std::string frame = protocol.BuildCommitBill(order);
    CheckFrame(frame, wire::kOrderRequest);
    const bool comparable = !HasSeparator(order.AccountCode) && !HasSeparator(order.MerchCode) &&
                            !HasSeparator(order.Value3) && !HasSeparator(order.Value5) &&
                            !HasSeparator(order.Value9) && !HasSeparator(order.Value28);
    CheckFieldCount(frame, protocol.BuildCommitBill(COrderInfo()), comparable);
}

void FuzzHistoryRequest(CForexProtocol& protocol, FuzzedDataProvider& input) {
    const CString account = ConsumeText(input);
    {
        CDataCenterAccess access(*protocol.GetDataCenter());
        CScopedLock guard(access.AccountInfoLock());
        access.AccountInfo().AccountCode = account;
    }
    const long from = input.ConsumeIntegral<long>();
    const long to = input.ConsumeIntegral<long>();
    const std::string frame = protocol.BuildHistoryRequest(from, to);
    CheckFrame(frame, wire::kHistoryRequest);
    if (!HasSeparator(account)) {
        // Four fields whether or not the dates could be shown.
        if (CountFields(frame) != 4) {
            std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The wire codeset of the deployments, multi-byte, unless the run asks for another one.
    setenv("TRADEWIRE_CODESET", "GBK", 0);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    CForexProtocol protocol;
    while (input.remaining_bytes() > 0) {
        switch (input.ConsumeIntegralInRange<int>(0, 3)) {
            case 0:
                FuzzLogin(protocol, input);
                break;
            case 1:
                FuzzLogout(protocol, input);
                break;
            case 2:
                FuzzCommitBill(protocol, input);
                break;
            default:
                FuzzHistoryRequest(protocol, input);
                break;
        }
    }
    return 0;
}
