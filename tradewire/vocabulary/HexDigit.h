#pragma once
// The value of one hexadecimal digit, either case: shared by the capture format's escapes and
// the certificate pins, which both spell bytes as hex. Pure; safe on any thread.

// 0 to 15, or -1 when the character is not a hex digit.
inline int HexDigit(char ch) {
    if (ch >= '0' && ch <= '9') {
        return ch - '0';
    }
    if (ch >= 'A' && ch <= 'F') {
        return ch - 'A' + 10;
    }
    if (ch >= 'a' && ch <= 'f') {
        return ch - 'a' + 10;
    }
    return -1;
}
