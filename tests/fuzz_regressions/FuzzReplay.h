#pragma once
// Feeds kept inputs to the fuzz target linked into the same test program, one call each, as
// libFuzzer would. A target that finds a contract broken aborts, which fails the test run.

#include <cstddef>
#include <string>

// Every regular file of the folder, in name order; returns how many were fed (none is a test
// failure).
size_t ReplayFolder(const std::string& folder);
// One file; false (with a test failure) when it cannot be read.
bool ReplayFile(const std::string& path);
