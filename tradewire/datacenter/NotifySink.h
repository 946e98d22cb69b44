#pragma once
// Calls one operation of the caller's sink, if one is set. A sink that throws must not end the
// terminal's process from a worker thread, nor cut short the store updates that follow the
// callback, so whatever it throws is swallowed here and the caller goes on as if the call had
// returned.

#include "tradewire/AbsForexNotify.h"

template <class Call>
void NotifySink(CAbsForexNotify* sink, Call&& call) noexcept {
    if (sink == nullptr) {
        return;
    }
    try {
        call(*sink);
    } catch (...) {  // NOLINT(bugprone-empty-catch): the sink's fault must not become ours
    }
}
