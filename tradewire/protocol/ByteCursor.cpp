#include "protocol/ByteCursor.h"

#include "platform/NumberText.h"
#include "platform/TextCodec.h"

int CByteCursor::CutInt() {
    return ParseAtoi(CutField());
}

double CByteCursor::CutDouble() {
    return ParseAtof(CutField());
}

float CByteCursor::CutFloat() {
    return ParseFloat(CutField());
}

CString CByteCursor::CutText() {
    return AnsiToWide(CutField());
}
