#include "WireFormat.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdio>
#include <cstdlib>

namespace sim {

namespace {

std::string PadNumber(size_t value, size_t width) {
    std::string text = std::to_string(value);
    if (text.size() < width) {
        text.insert(0, width - text.size(), '0');
    }
    return text;
}

}  // namespace

std::string PackServerFrame(int code, std::string_view body) {
    std::string inner = std::to_string(code);
    inner += wire::kHeaderEnd;
    inner.append(body);
    inner += wire::kRecordEnd;
    std::string frame = PadNumber(inner.size() + wire::kFixedHeaderSize, wire::kLengthFieldSize);
    frame += PadNumber(0, wire::kZeroFieldSize);
    frame += inner;
    frame += "\r\n";
    return frame;
}

FieldWriter& FieldWriter::Text(std::string_view text) {
    m_body.append(text);
    m_body += wire::kFieldEnd;
    return *this;
}

FieldWriter& FieldWriter::Int(long long value) {
    return Text(std::to_string(value));
}

FieldWriter& FieldWriter::Fixed(double value, int decimals) {
    char text[64];
    (void)std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return Text(text);
}

FieldWriter& FieldWriter::Float(float value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return Text(std::string_view(text, static_cast<size_t>(result.ptr - text)));
}

FieldWriter& FieldWriter::Empty(int count) {
    m_body.append(static_cast<size_t>(count), wire::kFieldEnd);
    return *this;
}

FieldWriter& FieldWriter::EndRecord() {
    m_body += wire::kRecordEnd;
    return *this;
}

FieldWriter& FieldWriter::EndSection() {
    m_body += wire::kSectionEnd;
    return *this;
}

FieldWriter& FieldWriter::Raw(std::string_view bytes) {
    m_body.append(bytes);
    return *this;
}

std::string_view FieldReader::Next(char separator) {
    const size_t end = m_rest.find(separator);
    if (end == std::string_view::npos) {
        return {};
    }
    std::string_view item = m_rest.substr(0, end);
    m_rest.remove_prefix(end + 1);
    return item;
}

int LeadingInt(std::string_view text) {
    const std::string copy(text);
    const long value = std::strtol(copy.c_str(), nullptr, 10);
    return static_cast<int>(std::clamp<long>(value, INT_MIN, INT_MAX));
}

double LeadingDouble(std::string_view text) {
    const std::string copy(text);
    return std::strtod(copy.c_str(), nullptr);
}

int FieldReader::NextInt() {
    return LeadingInt(Next());
}

double FieldReader::NextDouble() {
    return LeadingDouble(Next());
}

bool ParseRequestFrame(std::string_view line, RequestFrame& frame) {
    frame = RequestFrame{};
    const size_t headerEnd = line.find(wire::kHeaderEnd);
    if (headerEnd == std::string_view::npos || headerEnd < wire::kFixedHeaderSize) {
        return false;
    }
    const std::string declared(line.substr(0, wire::kLengthFieldSize));
    const std::string code(line.substr(wire::kFixedHeaderSize, headerEnd - wire::kFixedHeaderSize));
    frame.code = LeadingInt(code);
    std::string_view body = line.substr(headerEnd + 1);
    if (!body.empty() && body.back() == wire::kRecordEnd) {
        body.remove_suffix(1);
    }
    frame.body.assign(body);
    frame.lengthMatches = static_cast<size_t>(LeadingInt(declared)) == line.size();
    return true;
}

bool RequestSplitter::Next(std::string& line) {
    const size_t end = m_pending.find(wire::kRequestLineEnd);
    if (end == std::string::npos) {
        return false;
    }
    line.assign(m_pending, 0, end);
    m_pending.erase(0, end + 1);
    // A client that ends its lines with CR LF is tolerated.
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return true;
}

std::string Printable(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20) {
            char code[8];
            (void)std::snprintf(code, sizeof code, "<%02X>", byte);
            text += code;
        } else {
            text += c;
        }
    }
    return text;
}

}  // namespace sim
