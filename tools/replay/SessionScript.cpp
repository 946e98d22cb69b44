#include "SessionScript.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "vocabulary/CaptureLine.h"
#include "vocabulary/WireVocabulary.h"

namespace {

// The terminal's own pauses: after the login's position list it settles before the first
// command, and a logout settles before the next one.
constexpr std::uint32_t kLoginSettleMs = 150;
constexpr std::uint32_t kLogoutSettleMs = 300;

// Where each order request field sits in the body CForexProtocol::BuildCommitBill writes.
enum OrderField : size_t {
    kMerchField = 2,
    kOrderNoField = 6,
    kBargainNoField = 7,
    kKindField = 8,
    kSideField = 10,
    kLotsField = 11,
    kPriceField = 14,
    kStopField = 17,
    kTakeField = 18,
    kOrderFields = 19,  // the fields a command needs
};
// And the history request's: the account twice, then the two dates as YYYYMMDD.
constexpr size_t kHistoryFromField = 2;
constexpr size_t kHistoryToField = 3;

struct Request {
    std::uint32_t ms = 0;
    int code = -1;
    std::vector<std::string> fields;
};

// A sent frame as its code and body fields; false for what is no frame.
bool DecodeFrame(const CCaptureReplay::SentFrame& sent, Request& request) {
    std::string frame;
    if (!capture::Unescape(sent.frame, frame)) {
        return false;
    }
    const size_t headerEnd = frame.find(wire::kHeaderEnd);
    if (headerEnd == std::string::npos || headerEnd <= wire::kFixedHeaderSize) {
        return false;
    }
    request.ms = sent.ms;
    request.code = std::atoi(frame.c_str() + wire::kFixedHeaderSize);
    std::string body = frame.substr(headerEnd + 1);
    if (!body.empty() && body.back() == wire::kRecordEnd) {
        body.pop_back();
    }
    size_t at = 0;
    while (at < body.size()) {
        const size_t end = std::min(body.find(wire::kFieldEnd, at), body.size());
        request.fields.push_back(body.substr(at, end - at));
        at = end + 1;
    }
    return true;
}

int IntField(const Request& request, size_t index) {
    return index < request.fields.size() ? std::atoi(request.fields[index].c_str()) : 0;
}

double NumberField(const Request& request, size_t index) {
    return index < request.fields.size() ? std::strtod(request.fields[index].c_str(), nullptr) : 0;
}

std::string LotsText(int hundredths) {
    char text[32];
    (void)std::snprintf(text, sizeof text, "%d.%02d", hundredths / tradewire::kHundredthsPerLot,
                        hundredths % tradewire::kHundredthsPerLot);
    return text;
}

// Milliseconds as seconds, without trailing zeros: 1500 is "1.5".
std::string SecondsText(std::uint32_t ms) {
    std::string text = std::to_string(ms / 1000);
    const std::uint32_t rest = ms % 1000;
    if (rest == 0) {
        return text;
    }
    char fraction[8];
    (void)std::snprintf(fraction, sizeof fraction, ".%03u", rest);
    std::string digits = fraction;
    while (digits.back() == '0') {
        digits.pop_back();
    }
    return text + digits;
}

// The decimals a price of `unit` is shown with: 4 for 0.0001.
int UnitDecimals(double unit) {
    int decimals = 0;
    for (double scaled = unit; decimals < 10; scaled *= 10, ++decimals) {
        if (std::fabs(scaled - std::round(scaled)) < 1e-5 * scaled) {
            break;
        }
    }
    return decimals;
}

// A price the terminal turns back into exactly `points` of `unit` (OrderBuilder's ToPoints),
// with the unit's decimals, so 10850 points of 0.0001 read 1.0850; more should those not do.
bool PriceText(double points, float unit, std::string& text) {
    if (unit <= 0 || points <= 0) {
        return false;
    }
    for (int decimals = UnitDecimals(unit); decimals <= 12; ++decimals) {
        char buffer[64];
        (void)std::snprintf(buffer, sizeof buffer, "%.*f", decimals,
                            points * static_cast<double>(unit));
        if (std::round(std::strtod(buffer, nullptr) / static_cast<double>(unit)) == points) {
            text = buffer;
            return true;
        }
    }
    return false;
}

class CCommandWriter {
  public:
    explicit CCommandWriter(const CForexMerchArray& merchs) : m_merchs(merchs) {}

    // The command for `request`, or a comment beginning with '#' when there is none.
    std::string Command(const Request& request) const {
        if (request.code == wire::kLogoutRequest) {
            return "logout";
        }
        if (request.code == wire::kHistoryRequest) {
            return History(request);
        }
        if (request.code != wire::kOrderRequest || request.fields.size() < kOrderFields) {
            return "# a request of code " + std::to_string(request.code) + " is not a command";
        }
        return Order(request);
    }

  private:
    std::string Order(const Request& request) const {
        const int kind = IntField(request, kKindField);
        const std::string lots = LotsText(IntField(request, kLotsField));
        const std::string bargain = std::to_string(IntField(request, kBargainNoField));
        const std::string order = std::to_string(IntField(request, kOrderNoField));
        std::string text;
        if (kind == tradewire::kOpenMarket) {
            text = (IntField(request, kSideField) == tradewire::kSell ? "sell " : "buy ") +
                   request.fields[kMerchField] + " " + lots;
        } else if (kind == tradewire::kCloseMarket) {
            // No lots closes the whole position, and the terminal sends none then too.
            text = "close " + bargain + (IntField(request, kLotsField) > 0 ? " " + lots : "");
        } else if (kind == tradewire::kSetTriggers) {
            return Trigger(request, bargain);
        } else if (tradewire::IsPendingKind(kind)) {
            text = "pending " + PendingName(kind) + " " + request.fields[kMerchField] + " " + lots;
            if (!AddPrice(request, kPriceField, " ", text)) {
                return Unpriced(request);
            }
        } else if (kind == tradewire::kChangeOrder) {
            text = "modify " + order;
            if (!AddPrice(request, kPriceField, " ", text)) {
                return Unpriced(request);
            }
        } else if (kind == tradewire::kDeleteOrder) {
            return "delete " + order;
        } else {
            return "# an order request of kind " + std::to_string(kind) + " is not a command";
        }
        if (!AddPrice(request, kStopField, " sl ", text) ||
            !AddPrice(request, kTakeField, " tp ", text)) {
            return Unpriced(request);
        }
        return text;
    }

    // trigger POSITION SL TP takes both, 0 for none.
    std::string Trigger(const Request& request, const std::string& bargain) const {
        std::string text = "trigger " + bargain;
        for (const size_t field : {kStopField, kTakeField}) {
            if (NumberField(request, field) <= 0) {
                text += " 0";
            } else if (!AddPrice(request, field, " ", text)) {
                return Unpriced(request);
            }
        }
        return text;
    }

    static std::string PendingName(int kind) {
        switch (kind) {
            case tradewire::kBuyLimit:
                return "buy-limit";
            case tradewire::kSellLimit:
                return "sell-limit";
            case tradewire::kBuyStop:
                return "buy-stop";
            default:
                return "sell-stop";
        }
    }

    // Appends `lead` and the field's price; a field of no points adds nothing. False when the
    // instrument's unit is unknown, so the points cannot be told as a price.
    bool AddPrice(const Request& request, size_t field, const char* lead, std::string& text) const {
        const double points = NumberField(request, field);
        if (points <= 0) {
            return true;
        }
        std::string price;
        if (!PriceText(points, Unit(request.fields[kMerchField]), price)) {
            return false;
        }
        text += lead + price;
        return true;
    }

    float Unit(const std::string& merch) const {
        for (INT_PTR index = 0; index < m_merchs.GetSize(); ++index) {
            const CString& code = m_merchs[index].MerchCode;
            if (code.GetLength() == static_cast<int>(merch.size()) &&
                std::equal(merch.begin(), merch.end(), code.GetString(),
                           [](char a, wchar_t b) { return static_cast<wchar_t>(a) == b; })) {
                return m_merchs[index].PriceUnit;
            }
        }
        return 0;
    }

    static std::string Unpriced(const Request& request) {
        return "# an order request for " + request.fields[kMerchField] +
               " whose prices cannot be read: the capture lists no such instrument";
    }

    // history DAYS asks from DAYS-1 days ago to today.
    static std::string History(const Request& request) {
        const long from = DayNumber(IntField(request, kHistoryFromField));
        const long to = DayNumber(IntField(request, kHistoryToField));
        if (from < 0 || to < from) {
            return "# a history request without its dates";
        }
        return "history " + std::to_string(to - from + 1);
    }

    // Days since 1970-01-01 of a YYYYMMDD date, -1 for none.
    static long DayNumber(int date) {
        const int year = date / 10000;
        const int month = date / 100 % 100;
        const int day = date % 100;
        if (year < 1970 || month < 1 || month > 12 || day < 1 || day > 31) {
            return -1;
        }
        // Counted from March, so the leap day ends a year.
        const long y = month <= 2 ? year - 1 : year;
        const long era = y / 400;
        const long yearOfEra = y - era * 400;
        const long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
        const long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
        return era * 146097 + dayOfEra - 719468;
    }

    const CForexMerchArray& m_merchs;
};

// When the terminal could go on after `request`: the first answer the replay dispatched at or
// after it (the captured dispatch time, or its receive time without one); the request's own
// time when nothing answered. Messages are searched from `next` on, which moves past the one
// found.
std::uint32_t AnsweredAt(const std::vector<CCaptureReplay::MessageTimes>& messages,
                         const Request& request, size_t& next) {
    if (request.code == wire::kLogoutRequest) {
        return request.ms + kLogoutSettleMs;
    }
    const auto answers = [&request](int code) {
        if (request.code == wire::kHistoryRequest) {
            return code == wire::kHistoryList;
        }
        return code == wire::kOrderEvent || code == wire::kDealEvent ||
               code == wire::kRefusalEvent || code == wire::kRemovalEvent;
    };
    for (size_t index = next; index < messages.size(); ++index) {
        const CCaptureReplay::MessageTimes& message = messages[index];
        const std::uint32_t at = message.dispatched >= 0
                                     ? static_cast<std::uint32_t>(message.dispatched)
                                     : message.received;
        if (at >= request.ms && answers(message.code)) {
            next = index + 1;
            return at;
        }
    }
    return request.ms;
}

// The end of the login as the terminal sees it: its position list, then the settle.
std::uint32_t LoginDoneAt(const std::vector<CCaptureReplay::MessageTimes>& messages,
                          std::uint32_t loginMs) {
    for (const CCaptureReplay::MessageTimes& message : messages) {
        if (message.code == wire::kBargainList) {
            const std::uint32_t at = message.dispatched >= 0
                                         ? static_cast<std::uint32_t>(message.dispatched)
                                         : message.received;
            return std::max(at, loginMs) + kLoginSettleMs;
        }
    }
    return loginMs;
}

void AddWait(std::uint32_t from, std::uint32_t to, std::vector<std::string>& lines) {
    if (to > from) {
        lines.push_back("wait " + SecondsText(to - from));
    }
}

}  // namespace

std::vector<std::string> CSessionScript::Lines(const CCaptureReplay& replay,
                                               const CForexMerchArray& merchs) {
    std::vector<Request> requests;
    std::uint32_t loginMs = 0;
    for (const CCaptureReplay::SentFrame& sent : replay.SentFrames()) {
        Request request;
        if (!DecodeFrame(sent, request)) {
            continue;
        }
        if (request.code == wire::kLoginRequest) {
            loginMs = request.ms;
            continue;
        }
        requests.push_back(std::move(request));
    }
    std::vector<std::string> lines;
    lines.push_back("# " + std::to_string(requests.size()) + " requests of the captured session");
    const CCommandWriter writer(merchs);
    const std::vector<CCaptureReplay::MessageTimes>& messages = replay.Messages();
    std::uint32_t ready = LoginDoneAt(messages, loginMs);
    size_t next = 0;
    for (const Request& request : requests) {
        AddWait(ready, request.ms, lines);
        lines.push_back(writer.Command(request));
        ready = std::max(ready, AnsweredAt(messages, request, next));
    }
    // A session that did not log out stayed until its last bytes came.
    if (requests.empty() || requests.back().code != wire::kLogoutRequest) {
        AddWait(ready, replay.LastChunkMs(), lines);
    }
    return lines;
}
