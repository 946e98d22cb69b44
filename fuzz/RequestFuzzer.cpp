// The four request builders with arbitrary record texts, numbers and dates, and the interface's
// own CString and CArray: operation sequences checked against the standard library's string and
// vector, and Format with arbitrary formats. Besides the
// sanitizers, each frame is checked against what the server relies on: the declared length is
// the frame's size, the header and the record end are in place, (when no text carries the
// field separator itself) every request has the same number of fields whatever its contents,
// and the bytes a login reports as its password are exactly the password's.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <iterator>
#include <string>
#include <vector>

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

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The wire codeset of the deployments, multi-byte, unless the run asks for another one.
    setenv("TRADEWIRE_CODESET", "GBK", 0);
    return 0;
}

[[noreturn]] void Mismatch(const char* what) {
    std::fprintf(stderr, "CString/CArray differ from the model after %s\n", what);
    std::abort();
}

void CheckText(const CString& text, const std::wstring& model, const char* what) {
    if (static_cast<size_t>(text.GetLength()) != model.size() ||
        std::wmemcmp(text.GetString(), model.data(), model.size()) != 0 ||
        text.GetString()[model.size()] != L'\0') {
        Mismatch(what);
    }
}

// One operation on a string and its model; sources include the string itself.
void FuzzStringStep(FuzzedDataProvider& input, CString& text, std::wstring& model) {
    const CString other = ConsumeText(input);
    const std::wstring otherModel(other.GetString());
    const int count = input.ConsumeIntegralInRange<int>(-2, 70);
    const int length = static_cast<int>(model.size());
    const auto clamp = [length](int at) { return at < 0 ? 0 : (at > length ? length : at); };
    switch (input.ConsumeIntegralInRange<int>(0, 7)) {
        case 0:
            text = other;
            model = otherModel;
            break;
        case 1:
            text += other;
            model += otherModel;
            break;
        case 2:
            text += text;
            model += model;
            break;
        case 3:
            text = text.Mid(count, count + 3);
            model = count >= length || count + 3 <= 0
                        ? std::wstring()
                        : model.substr(static_cast<size_t>(clamp(count)),
                                       static_cast<size_t>(count + 3));
            break;
        case 4:
            text = text.Left(count) + other;
            model = model.substr(0, static_cast<size_t>(clamp(count))) + otherModel;
            break;
        case 5:
            text = other + text.Right(count);
            model = otherModel + model.substr(static_cast<size_t>(length - clamp(count)));
            break;
        case 6:
            text = CString(text.GetString() + (length > 0 ? 1 : 0), length > 0 ? length - 1 : 0);
            model = length > 0 ? model.substr(1) : model;
            break;
        default:
            text.Empty();
            model.clear();
            break;
    }
    CheckText(text, model, "a string operation");
}

// Any format, with as many arguments as it can ask for, all of them pointers to text: every
// conversion then reads something it may read, whatever its type.
void FuzzFormat(FuzzedDataProvider& input) {
    const CString format = ConsumeText(input);
    const std::wstring formatText(format.GetString());
    // Twelve conversions at most, each reading at most 8 bytes (no long double), stay within
    // the twenty pointers' registers and stack slots, integer and floating alike.
    if (std::count(formatText.begin(), formatText.end(), L'%') +
                std::count(formatText.begin(), formatText.end(), L'*') >
            12 ||
        formatText.find(L'L') != std::wstring::npos) {
        return;
    }
    static const wchar_t kArgument[] = L"argument";
    const wchar_t* a = kArgument;
    CString text;
    text.Format(format.GetString(), a, a, a, a, a, a, a, a, a, a, a, a, a, a, a, a, a, a, a, a);
    if (formatText.find(L'%') == std::wstring::npos) {
        CheckText(text, formatText, "a format without conversions");
    }
    if (text.GetLength() < 0) {
        Mismatch("Format");
    }
}

void FuzzArraySteps(FuzzedDataProvider& input) {
    CArray<CString, CString&> array;
    std::vector<std::wstring> model;
    for (int step = input.ConsumeIntegralInRange<int>(0, 16); step > 0; --step) {
        const CString element = ConsumeText(input);
        const INT_PTR at = input.ConsumeIntegralInRange<INT_PTR>(-1, 20);
        const INT_PTR count = input.ConsumeIntegralInRange<INT_PTR>(-1, 5);
        const auto size = static_cast<INT_PTR>(model.size());
        switch (input.ConsumeIntegralInRange<int>(0, 4)) {
            case 0:
                array.Add(const_cast<CString&>(element));
                model.emplace_back(element.GetString());
                break;
            case 1:
                array.SetSize(at);
                model.resize(static_cast<size_t>(at < 0 ? 0 : at));
                break;
            case 2:
                array.InsertAt(at, const_cast<CString&>(element), count);
                if (at >= 0 && count > 0) {
                    if (at > size) {
                        model.resize(static_cast<size_t>(at));
                    }
                    model.insert(model.begin() + at, static_cast<size_t>(count),
                                 element.GetString());
                }
                break;
            case 3:
                array.RemoveAt(at, count);
                if (at >= 0 && count > 0 && at < size) {
                    model.erase(model.begin() + at, model.begin() + std::min(size, at + count));
                }
                break;
            default:
                if (size > 256) {
                    break;
                }
                array.Append(array);
                {
                    const std::vector<std::wstring> before(model);  // a range of itself is UB
                    model.insert(model.end(), before.begin(), before.end());
                }
                break;
        }
        if (array.GetSize() != static_cast<INT_PTR>(model.size())) {
            Mismatch("an array operation");
        }
        for (size_t i = 0; i < model.size(); ++i) {
            CheckText(array[static_cast<INT_PTR>(i)], model[i], "an array operation");
        }
    }
}

void FuzzStringSteps(FuzzedDataProvider& input) {
    CString text;
    std::wstring model;
    for (int step = input.ConsumeIntegralInRange<int>(0, 16); step > 0; --step) {
        FuzzStringStep(input, text, model);
    }
}

// The steps an input is made of; each step's kind is the next value it yields.
using Step = void (*)(CForexProtocol&, FuzzedDataProvider&);
constexpr Step kSteps[] = {
    FuzzLogin,
    FuzzLogout,
    FuzzCommitBill,
    FuzzHistoryRequest,
    [](CForexProtocol&, FuzzedDataProvider& input) { FuzzStringSteps(input); },
    [](CForexProtocol&, FuzzedDataProvider& input) { FuzzArraySteps(input); },
    [](CForexProtocol&, FuzzedDataProvider& input) { FuzzFormat(input); },
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    CForexProtocol protocol;
    while (input.remaining_bytes() > 0) {
        const int step =
            input.ConsumeIntegralInRange<int>(0, static_cast<int>(std::size(kSteps)) - 1);
        kSteps[step](protocol, input);
    }
    return 0;
}
