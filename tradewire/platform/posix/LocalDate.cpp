#include "platform/LocalDate.h"

namespace LocalDate {

bool BreakDown(std::time_t time, std::tm& local) {
    // localtime_r, unlike localtime, shares no buffer between threads; tzset picks up a TZ
    // that changed since the last call.
    tzset();
    return localtime_r(&time, &local) != nullptr;
}

}  // namespace LocalDate
