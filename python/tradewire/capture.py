"""Captures as data: a capture file replayed offline through the library's own protocol object
and data center (as tradewire-replay does), giving the same events as a live session, each with
the captured receive and dispatch times in UTC, and tables of quotes, deals, orders and the
timeline of each order.

The dispatch time is the one the capture records for each message when it has them
(`<ms> dispatch <code>` lines); otherwise it is worked out as the library paces dispatching:
one processing pass every 30 ms, as many messages per pass as the capture's `pass=` says.
"""

from __future__ import annotations

import datetime
import os
import warnings
from typing import Any, Iterator

from . import _tradewire, _wire, records
from .connection import ORDER_REPLIES, REFUSALS
from .events import UTC, Event

MAGIC = "TWCAP "
ORDER_REQUEST = "7001"


class CaptureTruncated(UserWarning):
    """The capture does not hold the whole session; the reason says what is missing."""


class CaptureError(ValueError):
    """The file is not a capture the library can read."""


def _ms_time(start: datetime.datetime, ms: int | None) -> datetime.datetime | None:
    return None if ms is None else start + datetime.timedelta(milliseconds=ms)


def _unescape(payload: str) -> bytes:
    out = bytearray()
    at = 0
    while at < len(payload):
        if payload[at] == "\\" and payload[at + 1:at + 2] == "x":
            out.append(int(payload[at + 2:at + 4], 16))
            at += 4
        else:
            out.append(ord(payload[at]))
            at += 1
    return bytes(out)


class Capture:
    """A read capture. Iterating yields its events. `facts` holds the first line's key=value
    pairs, `start` the capture's UTC start, `truncated` a reason or None."""

    def __init__(self, path: str | os.PathLike[str]) -> None:
        self.path = os.fspath(path)
        with open(self.path, "rb") as file:
            raw = file.read()
        self.truncated: str | None = None
        text = raw.decode("latin-1")
        if text and not text.endswith("\n"):
            text = text[:text.rfind("\n") + 1]
            self._truncate("the last line is cut off")
        lines = text.split("\n")
        if not lines or not lines[0].startswith(MAGIC):
            raise CaptureError(f"{self.path}: not a capture file")
        self.version = lines[0].split(" ")[1]
        self.facts = dict(word.split("=", 1) for word in lines[0].split(" ")[2:] if "=" in word)
        self.start = datetime.datetime.strptime(self.facts.get("start", "19700101-000000"),
                                                "%Y%m%d-%H%M%S").replace(tzinfo=UTC)
        self._read_records(lines[1:])
        self.events: list[Event] = self._replay(text.encode("latin-1"))

    def _truncate(self, reason: str) -> None:
        self.truncated = reason if self.truncated is None else f"{self.truncated}; {reason}"
        warnings.warn(CaptureTruncated(f"{self.path}: {reason}"), stacklevel=3)

    def _read_records(self, lines: list[str]) -> None:
        self.dispatch_records: list[tuple[int, int]] = []
        self.commits: list[dict[str, Any]] = []
        self.order_sends: list[int] = []
        self.closed: dict[str, str] | None = None
        for line in lines:
            parts = line.split(" ", 2)
            if len(parts) < 2 or not parts[0].isdigit():
                continue
            ms, kind, payload = int(parts[0]), parts[1], parts[2] if len(parts) > 2 else ""
            if kind == "dispatch":
                self.dispatch_records.append((ms, int(payload.split(" ")[0] or 0)))
            elif kind == "commit":
                self.commits.append(self._commit(ms, payload))
            elif kind == "send" and payload[12:16] == ORDER_REQUEST:
                self.order_sends.append(ms)
            elif kind == "close":
                self.closed = dict(w.split("=", 1) for w in payload.split(" ") if "=" in w)
            elif kind == "limit":
                self._truncate(f"the size limit was reached at {ms} ms")
            elif kind == "dropped":
                self._truncate(f"{payload} records were dropped at {ms} ms")
        if self.closed is None:
            self._truncate("the capture has no close record: the file ends before the session")

    @staticmethod
    def _commit(ms: int, payload: str) -> dict[str, Any]:
        fields = dict(w.split("=", 1) for w in payload.split(" ") if "=" in w)
        return {"ms": ms, "after": int(fields.get("after", 0)),
                "InternalNo": int(fields.get("InternalNo", 0) or 0),
                "OrderKind": int(fields.get("OrderKind", 0) or 0),
                "MerchCode": _unescape(fields.get("MerchCode", "")).decode("latin-1")}

    def _replay(self, data: bytes) -> list[Event]:
        unpaced = _tradewire.replay(data, False)
        if unpaced["error"] is not None:
            raise CaptureError(f"{self.path}: {unpaced['error']}")
        self.dispatched = unpaced["dispatched"]
        if self.closed is not None and int(self.closed.get("unread", "0") or 0) > 0:
            self._truncate(f"{self.closed['unread']} received bytes were never dispatched")
        if self.dispatch_records:
            dispatch_ms = [ms for ms, _ in self.dispatch_records]
        else:
            dispatch_ms = []
            for _, _, message, ms in _tradewire.replay(data, True)["events"]:
                if message >= len(dispatch_ms):
                    dispatch_ms.append(ms)
        events = []
        for name, payload, message, ms in unpaced["events"]:
            dispatched = dispatch_ms[message] if message < len(dispatch_ms) else None
            events.append(Event.from_binding(name, payload, received=_ms_time(self.start, ms),
                                             dispatched=_ms_time(self.start, dispatched),
                                             message=message))
        return events

    def __iter__(self) -> Iterator[Event]:
        return iter(self.events)

    def __len__(self) -> int:
        return len(self.events)

    def time_of(self, ms: int | None) -> datetime.datetime | None:
        return _ms_time(self.start, ms)

    # -- tables -----------------------------------------------------------------------------

    def messages(self, as_frame: bool | None = None) -> Any:
        """One row per dispatched message: its first callback, receive and dispatch times and
        the delay between them in ms."""
        rows, seen = [], set()
        for event in self.events:
            if event.message in seen:
                continue
            seen.add(event.message)
            code = (self.dispatch_records[event.message][1]
                    if event.message is not None and event.message < len(self.dispatch_records)
                    else None)
            rows.append({"message": event.message, "code": code, "event": event.name,
                         "received": event.received, "dispatched": event.dispatched,
                         "delay_ms": _delay_ms(event)})
        return _table(rows, as_frame)

    def quotes(self, as_frame: bool | None = None) -> Any:
        rows = [{"time": e.dispatched, "received": e.received, "symbol": e.data.MerchCode,
                 "bid": e.data.RealtimePrice.Bid, "ask": e.data.RealtimePrice.Ask,
                 "stamp": e.data.RealtimePrice.QuoteStamp}
                for e in self.events if e.name == "OnRealtimePrice"]
        return _table(rows, as_frame)

    def deals(self, as_frame: bool | None = None) -> Any:
        rows = [{"time": e.dispatched, "event": e.name, "symbol": e.data.MerchCode,
                 "position_no": e.data.BargainNo, "open_position_no": e.data.OpenBargainNo,
                 "internal_no": e.data.InternalNo, "side": e.data.side, "lots": e.data.Lots,
                 "price": e.data.Price, "closing": e.data.closing}
                for e in self.events if e.name in ("OnBargainOpened", "OnBargainClosed")]
        return _table(rows, as_frame)

    def orders(self, as_frame: bool | None = None) -> Any:
        rows = [{"time": e.dispatched, "event": e.name, "symbol": e.data.MerchCode,
                 "kind": e.data.kind_name, "internal_no": e.data.InternalNo,
                 "order_no": e.data.OrderNo, "refused": e.name in REFUSALS,
                 "reason": e.data.Value28 if e.name in REFUSALS else ""}
                for e in self.events if e.name in ORDER_REPLIES and
                isinstance(e.data, records.COrderInfo)]
        return _table(rows, as_frame)

    def timeline(self, as_frame: bool | None = None) -> Any:
        """One row per committed order: commit, send, the reply's receipt and its dispatch."""
        rows = []
        for index, commit in enumerate(self.commits):
            reply = next((e for e in self.events if e.name in ORDER_REPLIES and
                          e.data.InternalNo == commit["InternalNo"]), None)
            sent = self.order_sends[index] if index < len(self.order_sends) else None
            rows.append({
                "internal_no": commit["InternalNo"], "symbol": commit["MerchCode"],
                "kind": _wire.ORDER_KIND_NAMES.get(commit["OrderKind"], str(commit["OrderKind"])),
                "committed": self.time_of(commit["ms"]), "sent": self.time_of(sent),
                "replied": reply.received if reply else None,
                "dispatched": reply.dispatched if reply else None,
                "reply": reply.name if reply else None,
                "refused": bool(reply and reply.name in REFUSALS),
                "reason": reply.data.Value28 if reply and reply.name in REFUSALS else ""})
        return _table(rows, as_frame)


def _delay_ms(event: Event) -> float | None:
    if event.received is None or event.dispatched is None:
        return None
    return (event.dispatched - event.received).total_seconds() * 1000.0


def _table(rows: list[dict[str, Any]], as_frame: bool | None) -> Any:
    if as_frame is False:
        return rows
    try:
        import pandas
    except ImportError:
        if as_frame:
            raise
        return rows
    return pandas.DataFrame(rows)


def read_capture(path: str | os.PathLike[str]) -> Capture:
    """Reads and replays a capture file. Iterate the result for its events. A capture that
    does not hold the whole session warns with CaptureTruncated and says why in `truncated`."""
    return Capture(path)
