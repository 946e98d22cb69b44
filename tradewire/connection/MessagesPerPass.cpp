#include "connection/MessagesPerPass.h"

#include "platform/ModuleLoader.h"

namespace MessagesPerPass {

int FromText(std::string_view text) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return kDefault;  // a lone sign too; a minus sign fails as a non-digit below
    }
    int count = 0;
    for (const char ch : text) {
        if (ch < '0' || ch > '9') {
            return kDefault;
        }
        // Saturates instead of overflowing: any longer run of digits is above kMost too.
        count = count > kMost ? count : count * 10 + (ch - '0');
    }
    if (count == 0) {
        return kDefault;
    }
    return count > kMost ? kMost : count;
}

int FromEnvironment() {
    return FromText(ModuleLoader::EnvironmentText("TRADEWIRE_MESSAGES_PER_PASS"));
}

}  // namespace MessagesPerPass
