"""Threads, the GIL and shutdown: none of these may deadlock, crash or leave a thread behind.
Each case runs TW_REPEAT times (50 by default) in one run."""

from __future__ import annotations

import os
import signal
import subprocess
import sys
import textwrap
import threading
import time

import pytest

import tradewire

REPEAT = int(os.environ.get("TW_REPEAT", "50"))


def threads_of_this_process() -> int:
    return len(os.listdir("/proc/self/task"))


def thread_baseline(sim) -> int:
    # After one connection has come and gone: a runtime that starts a helper thread of its own
    # on first use (a sanitizer's) has started it by then.
    logged_in(sim).close()
    return threads_of_this_process()


def logged_in(sim, **options):
    connection = tradewire.Connection("127.0.0.1", sim.port, **options).connect()
    connection.login("demo", "demo")
    return connection


def test_closing_while_events_are_pending(sim):
    baseline = thread_baseline(sim)
    for _ in range(REPEAT):
        connection = logged_in(sim, messages_per_pass=1)
        time.sleep(0.05)
        started = time.monotonic()
        connection.close()
        assert time.monotonic() - started < 5
        assert len(list(connection.events(timeout=0))) > 0  # what was queued stays readable
    assert threads_of_this_process() <= baseline


def test_closing_from_another_thread_while_one_waits(sim):
    baseline = thread_baseline(sim)
    for _ in range(REPEAT):
        connection = logged_in(sim)
        outcome = []

        def read_events():
            for _ in connection.events():
                pass
            outcome.append("stream ended")

        def wait_for_a_reply():
            # The wait every blocking call makes, for a reply that never comes.
            try:
                connection._session.wait(lambda: False, 30, "a reply")
            except tradewire.ConnectionClosed:
                outcome.append("closed")

        waiters = [threading.Thread(target=read_events), threading.Thread(target=wait_for_a_reply)]
        for waiter in waiters:
            waiter.start()
        time.sleep(0.02)
        connection.close()
        for waiter in waiters:
            waiter.join(10)
            assert not waiter.is_alive()
        assert sorted(outcome) == ["closed", "stream ended"]
    assert threads_of_this_process() <= baseline


def test_a_slow_consumer_sees_drops_and_never_stalls_the_library(sim):
    for _ in range(max(1, REPEAT // 10)):
        with tradewire.Connection("127.0.0.1", sim.port, queue_size=4) as connection:
            connection.login("demo", "demo")
            events = connection.events(timeout=5)
            next(events)
            time.sleep(0.5)  # the stream overflows while nobody reads
            started = time.monotonic()
            deal = connection.buy("EURUSD", 0.1)  # replies still come through at once
            connection.close_position(deal)
            assert time.monotonic() - started < 5
            names = [next(events).name for _ in range(6)]
            assert tradewire.EVENTS_DROPPED in names


CHILD = textwrap.dedent("""
    import sys, threading, tradewire
    connection = tradewire.Connection("127.0.0.1", int(sys.argv[1]))
    connection.connect()
    connection.login("demo", "demo")
    if sys.argv[2] == "exit":
        threading.Thread(target=lambda: [e for e in connection.events()], daemon=True).start()
        print("ready", flush=True)
        sys.exit(0)
    print("ready", flush=True)
    connection.wait_snapshot()
    connection._session.wait(lambda: False, 60, "Ctrl-C")
""")


def run_child(sim, mode: str) -> subprocess.CompletedProcess:
    child = subprocess.Popen([sys.executable, "-c", CHILD, str(sim.port), mode],
                             stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    assert child.stdout.readline().strip() == "ready"
    if mode == "interrupt":
        time.sleep(0.05)
        child.send_signal(signal.SIGINT)
    try:
        out, err = child.communicate(timeout=20)
    except subprocess.TimeoutExpired:
        child.kill()
        pytest.fail(f"the {mode} child hung")
    return subprocess.CompletedProcess(child.args, child.returncode, out, err)


def test_ctrl_c_during_a_wait_interrupts_it(sim):
    for _ in range(REPEAT):
        result = run_child(sim, "interrupt")
        assert "KeyboardInterrupt" in result.stderr
        assert "Fatal" not in result.stderr and "Segmentation" not in result.stderr


def test_interpreter_exit_with_a_connection_still_open(sim):
    for _ in range(REPEAT):
        result = run_child(sim, "exit")
        assert result.returncode == 0, result.stderr
        assert result.stderr == ""
