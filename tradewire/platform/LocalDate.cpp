#include "platform/LocalDate.h"

namespace LocalDate {

bool FromSeconds(long seconds, int& year, int& month, int& day) {
    std::tm local{};
    if (!BreakDown(static_cast<std::time_t>(seconds), local)) {
        return false;
    }
    year = local.tm_year + 1900;
    month = local.tm_mon + 1;
    day = local.tm_mday;
    return true;
}

}  // namespace LocalDate
