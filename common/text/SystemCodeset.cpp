#include "common/text/SystemCodeset.h"

#include <cstdlib>

namespace common::text {
namespace {

std::string NonEmptyEnv(const char* name) {
    const char* value = std::getenv(name);  // NOLINT(concurrency-mt-unsafe): read once, at start
    return value == nullptr ? std::string() : std::string(value);
}

std::string CodesetOfLocale(const std::string& locale) {
    const size_t dot = locale.find('.');
    if (dot == std::string::npos) {
        return std::string();
    }
    const size_t at = locale.find('@', dot);
    return locale.substr(dot + 1, at == std::string::npos ? std::string::npos : at - dot - 1);
}

std::string ChooseSystemCodeset() {
    std::string forced = NonEmptyEnv("TRADEWIRE_CODESET");
    if (!forced.empty()) {
        return forced;
    }
    // The first locale variable set decides, as setlocale() would, even when it names no
    // codeset.
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const std::string locale = NonEmptyEnv(name);
        if (!locale.empty()) {
            const std::string codeset = CodesetOfLocale(locale);
            return codeset.empty() ? std::string("UTF-8") : codeset;
        }
    }
    return "UTF-8";
}

}  // namespace

const std::string& SystemCodeset() {
    static const std::string codeset = ChooseSystemCodeset();
    return codeset;
}

}  // namespace common::text
