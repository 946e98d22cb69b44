#include "protocol/CaptureRecords.h"

#include <algorithm>
#include <cstdio>

#include "platform/NumberText.h"
#include "vocabulary/CaptureLine.h"

namespace {

constexpr std::string_view kMask = "***";

// One kind of field after another would lose the declaration order a reader expects, so the
// fields are listed once, in order, each with its kind.
struct OrderField {
    const char* name;
    CString COrderInfo::*text = nullptr;
    int COrderInfo::*number = nullptr;
    float COrderInfo::*decimal = nullptr;
};

const OrderField kOrderFields[] = {
    {"AccountCode", &COrderInfo::AccountCode},
    {"MerchCode", &COrderInfo::MerchCode},
    {"Value3", &COrderInfo::Value3},
    {"InternalNo", nullptr, &COrderInfo::InternalNo},
    {"Value5", &COrderInfo::Value5},
    {"OrderNo", nullptr, &COrderInfo::OrderNo},
    {"BargainNo", nullptr, &COrderInfo::BargainNo},
    {"OrderKind", nullptr, &COrderInfo::OrderKind},
    {"Value9", &COrderInfo::Value9},
    {"Value10", nullptr, &COrderInfo::Value10},
    {"Value11", nullptr, &COrderInfo::Value11},
    {"Value12", nullptr, &COrderInfo::Value12},
    {"CloseFlag", nullptr, &COrderInfo::CloseFlag},
    {"Value14", nullptr, nullptr, &COrderInfo::Value14},
    {"Value15", nullptr, nullptr, &COrderInfo::Value15},
    {"Value16", nullptr, nullptr, &COrderInfo::Value16},
    {"TriggerPrice1", nullptr, nullptr, &COrderInfo::TriggerPrice1},
    {"TriggerPrice2", nullptr, nullptr, &COrderInfo::TriggerPrice2},
    {"Value19", nullptr, nullptr, &COrderInfo::Value19},
    {"Value20", nullptr, nullptr, &COrderInfo::Value20},
    {"Value21", nullptr, nullptr, &COrderInfo::Value21},
    {"Value22", nullptr, nullptr, &COrderInfo::Value22},
    {"Value23", nullptr, nullptr, &COrderInfo::Value23},
    {"Value24", nullptr, nullptr, &COrderInfo::Value24},
    {"Value25", nullptr, nullptr, &COrderInfo::Value25},
    {"Value26", nullptr, nullptr, &COrderInfo::Value26},
    {"Value27", nullptr, nullptr, &COrderInfo::Value27},
    {"Value28", &COrderInfo::Value28},
    {"Value29", nullptr, nullptr, &COrderInfo::Value29},
    {"Value30", nullptr, nullptr, &COrderInfo::Value30},
    {"Value31", nullptr, nullptr, &COrderInfo::Value31},
};

void AppendText(std::string& out, const CString& text) {
    for (int i = 0; i < text.GetLength(); ++i) {
        const auto ch = static_cast<unsigned long>(text.GetAt(i));
        if (ch > 0x20 && ch < 0x7F && ch != '\\') {
            out += static_cast<char>(ch);
            continue;
        }
        char escaped[16];
        (void)std::snprintf(escaped, sizeof escaped, ch > 0xFFFF ? "\\U%08lX" : "\\u%04lX", ch);
        out += escaped;
    }
}

bool ReadHex(std::string_view digits, unsigned long& value) {
    value = 0;
    for (const char ch : digits) {
        const int digit = HexDigit(ch);
        if (digit < 0) {
            return false;
        }
        value = value * 16 + static_cast<unsigned long>(digit);
    }
    return true;
}

bool ReadText(std::string_view text, CString& out) {
    out = CString();
    for (size_t at = 0; at < text.size(); ++at) {
        if (text[at] != '\\') {
            out += static_cast<wchar_t>(static_cast<unsigned char>(text[at]));
            continue;
        }
        const size_t width = at + 1 < text.size() && text[at + 1] == 'U' ? 8 : 4;
        unsigned long ch = 0;
        if (at + 1 >= text.size() || (text[at + 1] != 'u' && text[at + 1] != 'U') ||
            at + 2 + width > text.size() || !ReadHex(text.substr(at + 2, width), ch)) {
            return false;
        }
        out += static_cast<wchar_t>(ch);
        at += 1 + width;
    }
    return true;
}

// "%.9g" reads back as the same float; the point is put back in case the caller's locale
// changed it.
void AppendFloat(std::string& out, float value) {
    char text[32];
    (void)std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    for (char* at = text; *at != '\0'; ++at) {
        if (*at == ',') {
            *at = '.';
        }
    }
    out += text;
}

const OrderField* FindField(std::string_view name) {
    for (const OrderField& field : kOrderFields) {
        if (name == field.name) {
            return &field;
        }
    }
    return nullptr;
}

}  // namespace

namespace CaptureRecords {

std::string MaskedFrame(std::string_view frame, CFrameSpan hidden) {
    if (hidden.size == 0 || hidden.offset >= frame.size()) {
        return std::string(frame);
    }
    const size_t size = std::min(hidden.size, frame.size() - hidden.offset);
    std::string masked(frame.substr(0, hidden.offset));
    masked += kMask;
    masked += frame.substr(hidden.offset + size);
    return masked;
}

std::string EncodeOrder(const COrderInfo& order) {
    std::string out;
    out.reserve(400);
    for (const OrderField& field : kOrderFields) {
        if (!out.empty()) {
            out += ' ';
        }
        out += field.name;
        out += '=';
        if (field.text != nullptr) {
            AppendText(out, order.*field.text);
        } else if (field.number != nullptr) {
            out += std::to_string(order.*field.number);
        } else {
            AppendFloat(out, order.*field.decimal);
        }
    }
    return out;
}

bool DecodeOrder(std::string_view text, COrderInfo& order) {
    while (!text.empty()) {
        const size_t space = text.find(' ');
        const std::string_view item = text.substr(0, space);
        text = space == std::string_view::npos ? std::string_view() : text.substr(space + 1);
        if (item.empty()) {
            continue;
        }
        const size_t equals = item.find('=');
        if (equals == std::string_view::npos) {
            return false;
        }
        const OrderField* field = FindField(item.substr(0, equals));
        const std::string_view value = item.substr(equals + 1);
        if (field == nullptr) {
            continue;  // a field a later version added
        }
        if (field->text != nullptr) {
            if (!ReadText(value, order.*field->text)) {
                return false;
            }
        } else if (field->number != nullptr) {
            order.*field->number = ParseAtoi(value);
        } else {
            order.*field->decimal = ParseFloat(value);
        }
    }
    return true;
}

}  // namespace CaptureRecords
