#include "ByteCursor.h"

#include "NumberText.h"
#include "TextCodec.h"

int CByteCursor::CutInt() {
    return ParseAtoi(CutField());
}

long CByteCursor::CutLong() {
    return ParseAtol(CutField());
}

double CByteCursor::CutDouble() {
    return ParseAtof(CutField());
}

CString CByteCursor::CutText() {
    return AnsiToWide(CutField());
}
