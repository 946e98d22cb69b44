#pragma once
// A process killed part-way through its file work, step by step. The test program is linked
// with --wrap for the calls by which Kestrel's file layer changes the disk (open, write,
// fchmod, mkdir, rename, unlink); each such call counts as one step once it has returned.

#include <functional>

// Runs `work` in a forked child that ends at once (_exit, nothing cleaned up, as after a
// SIGKILL) right after its `steps`-th file call. True when the child was stopped that way;
// false when `work` finished in fewer steps (or the child failed otherwise).
bool RunStoppedAfterFileSteps(int steps, const std::function<void()>& work);
