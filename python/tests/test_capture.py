"""Captures as data: the replayed events, their times, the tables and damaged files."""

from __future__ import annotations

import datetime
import pathlib
import warnings

import pytest

import tradewire
from tradewire.capture import CaptureError

UTC = datetime.timezone.utc


def read_quietly(path):
    with warnings.catch_warnings():
        warnings.simplefilter("error", tradewire.CaptureTruncated)
        return tradewire.read_capture(path)


def comparable(event):
    # The account's InternalNo is the live counter after the numbers GetInternalNo handed out,
    # which a replay does not take.
    data = event.to_dict()["data"]
    if event.name == "OnAccountInfo":
        data.pop("InternalNo")
    return event.name, data


def test_replay_yields_the_live_events(session_capture):
    path, live = session_capture
    replayed = list(read_quietly(path))
    assert [e.name for e in replayed] == [e.name for e in live]
    # Field by field; the orders were committed by a thread that the replies woke, and the
    # replay still matches each reply against the order it answered.
    assert [comparable(e) for e in replayed] == [comparable(e) for e in live]


def test_events_carry_utc_receive_and_dispatch_times(session_capture):
    capture = read_quietly(session_capture[0])
    assert capture.truncated is None
    for event in capture:
        assert event.received.tzinfo is UTC and event.dispatched.tzinfo is UTC
        assert capture.start <= event.received <= event.dispatched
    dispatched = [e.dispatched for e in capture]
    assert dispatched == sorted(dispatched)


def test_tables_hold_quotes_deals_orders_and_each_order_timeline(session_capture):
    capture = read_quietly(session_capture[0])
    quotes = capture.quotes(as_frame=False)
    assert quotes and {"time", "symbol", "bid", "ask"} <= set(quotes[0])
    deals = capture.deals(as_frame=False)
    assert [d["closing"] for d in deals] == [False, True]
    assert deals[1]["open_position_no"] == deals[0]["position_no"]
    orders = capture.orders(as_frame=False)
    refusal = next(o for o in orders if o["refused"])
    assert refusal["reason"]
    timeline = capture.timeline(as_frame=False)
    assert [t["kind"] for t in timeline] == ["open", "open", "buy_limit", "delete", "close"]
    for step in timeline:
        assert step["committed"] <= step["sent"] <= step["replied"] <= step["dispatched"]
    assert [t["refused"] for t in timeline] == [False, True, False, False, False]


def test_recorded_dispatch_times_are_used_when_present(session_capture, tmp_path):
    path = session_capture[0]
    capture = read_quietly(path)
    lines = path.read_text(encoding="latin-1").split("\n")
    # One dispatch record per message, 1000 ms after the close of the capture.
    close_ms = int(next(line for line in lines if " close " in line).split(" ")[0])
    records = [f"{close_ms + 1000 + n} dispatch 9518" for n in range(capture.dispatched)]
    body = [line for line in lines[1:] if line]
    dated = tmp_path / "dated.twcap"
    dated.write_text("\n".join([lines[0], *body, *records]) + "\n", encoding="latin-1")
    redone = read_quietly(dated)
    first = redone.events[0]
    assert first.dispatched == redone.start + datetime.timedelta(milliseconds=close_ms + 1000)
    assert redone.messages(as_frame=False)[0]["code"] == 9518


def test_a_cut_capture_is_reported(session_capture, tmp_path):
    text = session_capture[0].read_bytes()
    cut = tmp_path / "cut.twcap"
    cut.write_bytes(text[: len(text) * 2 // 3])
    with pytest.warns(tradewire.CaptureTruncated):
        capture = tradewire.read_capture(cut)
    assert "cut off" in capture.truncated and "no close record" in capture.truncated
    assert 0 < len(capture) < len(read_quietly(session_capture[0]))


def test_a_limit_record_is_reported(session_capture, tmp_path):
    lines = session_capture[0].read_text(encoding="latin-1").splitlines()
    limited = tmp_path / "limited.twcap"
    limited.write_text("\n".join(lines[:-1] + ["99999 limit 268435456"]) + "\n",
                       encoding="latin-1")
    with pytest.warns(tradewire.CaptureTruncated, match="size limit"):
        tradewire.read_capture(limited)


def test_a_file_that_is_no_capture_is_refused(tmp_path):
    other = tmp_path / "other.twcap"
    other.write_text("hello\n")
    with pytest.raises(CaptureError):
        tradewire.read_capture(other)
