#pragma once
// Context switches, voluntary and not, that Linux counts for a process or a thread: read from
// its status file under /proc (/proc/<pid>/status, /proc/self/task/<tid>/status). A file that
// cannot be read counts as no switches.

#include <cstdlib>
#include <fstream>
#include <string>

inline long long ContextSwitchesIn(const std::string& statusFile) {
    std::ifstream status(statusFile);
    std::string line;
    long long total = 0;
    while (std::getline(status, line)) {
        if (line.rfind("voluntary_ctxt_switches:", 0) == 0 ||
            line.rfind("nonvoluntary_ctxt_switches:", 0) == 0) {
            total += std::atoll(line.c_str() + line.find(':') + 1);
        }
    }
    return total;
}
