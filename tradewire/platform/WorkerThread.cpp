#include "platform/WorkerThread.h"

#include <system_error>

#include "platform/SignalMask.h"

namespace WorkerThread {

bool Start(std::thread& thread, Entry entry, void* argument) {
    try {
        thread = std::thread([entry, argument] {
            SignalMask::BlockBrokenPipeForThisThread();
            entry(argument);
        });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void Join(std::thread& thread) {
    if (thread.joinable()) {
        thread.join();
    }
}

}  // namespace WorkerThread
