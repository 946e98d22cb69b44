#pragma once
// Starting the library's worker threads without letting the thread library's exception leave
// the library. Every thread started here has SIGPIPE blocked before it runs its entry.

#include <thread>

namespace WorkerThread {

using Entry = unsigned (*)(void* argument);

// Starts entry(argument) on a new thread held by `thread` (which must not be joinable).
// False, with `thread` left empty, when the system could not start one.
bool Start(std::thread& thread, Entry entry, void* argument);
// Waits without limit for the thread to end; an empty `thread` is left alone.
void Join(std::thread& thread);

}  // namespace WorkerThread
