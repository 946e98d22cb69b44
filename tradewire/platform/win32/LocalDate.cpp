#include "platform/LocalDate.h"

#include <time.h>

namespace LocalDate {

bool FromSeconds(long seconds, int& year, int& month, int& day) {
    const time_t time = static_cast<time_t>(seconds);
    tm local{};
    // localtime_s fills the caller's buffer, so threads share nothing; _tzset picks up a TZ
    // that changed since the last call.
    _tzset();
    if (localtime_s(&local, &time) != 0) {
        return false;
    }
    year = local.tm_year + 1900;
    month = local.tm_mon + 1;
    day = local.tm_mday;
    return true;
}

}  // namespace LocalDate
