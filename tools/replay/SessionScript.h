#pragma once
// What tradewire-replay --script prints: the console terminal's commands (tradewire-term
// --script) that make the requests a captured session sent, with the captured pauses between
// them, so that the terminal run against tradewire-sim --replay of the same capture makes the
// session again. Built after a CCaptureReplay has run, from its sent frames, its messages and
// the instruments its data center learned (prices travel in points of an instrument's
// PriceUnit, and the terminal takes them as prices).
//
//   # 3 requests of the captured session
//   wait 0.412
//   buy EURUSD 0.10 sl 1.0800
//   wait 1.003
//   close 100001 0.05
//   logout
//
// One command per order request (open, close, trigger, pending, modify, delete), history
// request and logout; positions and orders are named by the numbers the frames carry, which a
// replayed server hands out again. A `wait S` before each command is the captured time from
// the moment the terminal could go on (the answer to the request before, or the end of the
// login) to the request, in seconds with milliseconds; none when that is nothing. A request
// the terminal cannot make again is a `#` comment saying why.

#include <string>
#include <vector>

#include "protocol/CaptureReplay.h"

class CSessionScript {
  public:
    // `replay` has run; `merchs` are the instruments its data center holds after it.
    static std::vector<std::string> Lines(const CCaptureReplay& replay,
                                          const CForexMerchArray& merchs);
};
