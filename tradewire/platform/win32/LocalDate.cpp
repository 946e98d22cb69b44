#include "platform/LocalDate.h"

#include <time.h>

namespace LocalDate {

bool BreakDown(std::time_t time, std::tm& local) {
    // localtime_s fills the caller's buffer, so threads share nothing; _tzset picks up a TZ
    // that changed since the last call.
    _tzset();
    return localtime_s(&local, &time) == 0;
}

}  // namespace LocalDate
