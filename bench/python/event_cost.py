"""What one library callback costs until the user holds it as a Python object.

    PYTHONPATH=build/python /usr/bin/python3 bench/python/event_cost.py [COUNT]

A thread of the binding plays the library's processing thread and calls OnRealtimePrice COUNT
times (an instrument with its quote, the commonest event). Three stages are timed apart:
  gil+dict   taking the GIL and building the record's dict, handed to a function that does nothing
  event      the same, handed to a live connection's own delivery: Event and record objects,
             the session's bookkeeping, the bounded queue
  consumed   as `event`, with a consumer thread taking the events off the queue meanwhile
Prints microseconds per event (the best of five runs) and the machine's load.
"""

from __future__ import annotations

import os
import sys
import threading

import tradewire
from tradewire import _tradewire
from tradewire.connection import _Session


def best_of(runs: int, measure) -> float:
    return min(measure() for _ in range(runs))


def main() -> None:
    count = int(sys.argv[1]) if len(sys.argv) > 1 else 20000

    def bare() -> float:
        return _tradewire.time_quote_callbacks(lambda name, payload: None, count)

    def queued() -> float:
        session = _Session(tradewire.EventQueue(count + 1))
        return _tradewire.time_quote_callbacks(session.deliver, count)

    def consumed() -> float:
        session = _Session(tradewire.EventQueue(count + 1))
        reader = threading.Thread(target=lambda: [e for e in session.queue.iterate(None)])
        reader.start()
        took = _tradewire.time_quote_callbacks(session.deliver, count)
        session.close()
        reader.join()
        return took

    print(f"load: {' '.join(open('/proc/loadavg').read().split()[:3])} on {os.cpu_count()} cores,"
          f" {count} callbacks a run, best of 5")
    for name, measure in (("gil+dict", bare), ("event", queued), ("consumed", consumed)):
        print(f"{name:10s} {best_of(5, measure) / count * 1e6:7.2f} us per event")


if __name__ == "__main__":
    main()
