#include "WireBuilder.h"

#include <cstdio>

CWireBody& CWireBody::Text(std::string_view text) {
    m_text += text;
    m_text += '\x01';
    return *this;
}

CWireBody& CWireBody::Int(long long value) {
    return Text(std::to_string(value));
}

CWireBody& CWireBody::Num(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", value);
    return Text(text);
}

CWireBody& CWireBody::Empty(int count) {
    m_text.append(static_cast<size_t>(count), '\x01');
    return *this;
}

CWireBody& CWireBody::EndRecord() {
    m_text += '\x04';
    return *this;
}

CWireBody& CWireBody::EndSection() {
    m_text += '\x05';
    return *this;
}

CWireBody& CWireBody::Raw(std::string_view bytes) {
    m_text += bytes;
    return *this;
}

std::string InboundMessage(int code, std::string_view body, int declaredLength) {
    std::string rest = std::to_string(code);
    rest += '\x03';
    rest += body;
    const size_t size = rest.size() + 12;
    char header[16];
    std::snprintf(header, sizeof header, "%06d000000",
                  declaredLength >= 0 ? declaredLength : static_cast<int>(size));
    return header + rest;
}

std::string InboundLine(int code, std::string_view body) {
    return InboundMessage(code, body) + "\r\n";
}
