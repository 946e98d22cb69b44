#include "platform/LocalDate.h"

namespace LocalDate {

bool FromSeconds(long seconds, int& year, int& month, int& day) {
    const std::time_t time = static_cast<std::time_t>(seconds);
    std::tm local{};
    // localtime_r, unlike localtime, shares no buffer between threads; tzset picks up a TZ
    // that changed since the last call.
    tzset();
    if (localtime_r(&time, &local) == nullptr) {
        return false;
    }
    year = local.tm_year + 1900;
    month = local.tm_mon + 1;
    day = local.tm_mday;
    return true;
}

}  // namespace LocalDate
