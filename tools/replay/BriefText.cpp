#include "BriefText.h"

#include <cstdio>

#include "PrintedField.h"

namespace {

bool IsZero(std::string_view value) {
    for (const char ch : value) {
        if (ch != '0' && ch != ',' && ch != '.') {
            return false;
        }
    }
    return true;  // empty too
}

bool ReadDigits(std::string_view text, size_t at, size_t count, long long& value) {
    value = 0;
    if (at + count > text.size()) {
        return false;
    }
    for (size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return false;
        }
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

// Days from 1970-01-01 to the given civil date (proleptic Gregorian).
long long DaysFromCivil(long long year, long long month, long long day) {
    year -= month <= 2 ? 1 : 0;
    const long long era = (year >= 0 ? year : year - 399) / 400;
    const long long yearOfEra = year - era * 400;
    const long long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

void CivilFromDays(long long days, long long& year, long long& month, long long& day) {
    days += 719468;
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const long long dayOfEra = days - era * 146097;
    const long long yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long long shifted = (5 * dayOfYear + 2) / 153;
    day = dayOfYear - (153 * shifted + 2) / 5 + 1;
    month = shifted + (shifted < 10 ? 3 : -9);
    year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
}

}  // namespace

namespace BriefText {

std::string Line(std::string_view line) {
    // A list's record keeps its "  -" lead; a callback line its name.
    const size_t nameEnd = line.rfind("  -", 0) == 0 ? 3 : line.find(' ');
    const std::string_view name = line.substr(0, nameEnd);
    if (name == "OnRealtimePrice") {
        return "OnRealtimePrice " + std::string(FieldValue(line, "MerchCode")) + " " +
               std::string(FieldValue(line, "RealtimePrice.Bid")) + "/" +
               std::string(FieldValue(line, "RealtimePrice.Ask"));
    }
    std::string out(name);
    size_t at = nameEnd;
    while (at != std::string_view::npos && at < line.size()) {
        const size_t end = line.find(' ', at + 1);
        const std::string_view word = line.substr(
            at + 1, end == std::string_view::npos ? std::string_view::npos : end - at - 1);
        const size_t equals = word.find('=');
        if (!word.empty() &&
            (equals == std::string_view::npos || !IsZero(word.substr(equals + 1)))) {
            out += ' ';
            out += word;
        }
        at = end;
    }
    return out;
}

std::string UtcTime(std::string_view start, std::uint64_t ms) {
    long long year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (start.size() != 15 || start[8] != '-' || !ReadDigits(start, 0, 4, year) ||
        !ReadDigits(start, 4, 2, month) || !ReadDigits(start, 6, 2, day) ||
        !ReadDigits(start, 9, 2, hour) || !ReadDigits(start, 11, 2, minute) ||
        !ReadDigits(start, 13, 2, second)) {
        return {};
    }
    const long long total =
        (DaysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second) * 1000 +
        static_cast<long long>(ms);
    const long long days = total / 86400000;
    const long long inDay = total % 86400000;
    CivilFromDays(days, year, month, day);
    char text[96];
    (void)std::snprintf(text, sizeof text, "%04lld-%02lld-%02lldT%02lld:%02lld:%02lld.%03lldZ",
                        year, month, day, inDay / 3600000, inDay / 60000 % 60, inDay / 1000 % 60,
                        inDay % 1000);
    return text;
}

}  // namespace BriefText
