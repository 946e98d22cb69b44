"""Events: one per library callback, in the library's order, and the bounded queue that holds
them until a consumer takes them.

The library's processing thread must never wait for Python code, so the queue never blocks
the producer: when it is full, new events are dropped and counted, and the consumer gets an
`EventsDropped` marker with the count before the next event that did fit.
"""

from __future__ import annotations

import asyncio
import collections
import datetime
import threading
import time
from typing import Any, AsyncIterator, Iterator

from . import records

EVENTS_DROPPED = "EventsDropped"

# What each callback carries: the record class of its payload (a list for list callbacks), or
# None for callbacks with a plain dict (code, text, error) or nothing.
PAYLOAD_CLASSES: dict[str, type | None] = {
    "OnErrorCode": None, "OnTextMessage": None, "OnLoginReply": None, "OnSpareA": None,
    "OnAccountInfo": records.CAccountInfo, "OnCurrencysInfo": records.CCurrency,
    "OnForexMerchs": records.CForexMerch, "OnBargainsInfo": records.CBargain,
    "OnOrdersInfo": records.COrderInfo, "OnHistoryOrderInfo": records.CHistoryOrderInfo,
    "OnGroupInfo": records.CGroup, "OnBaseInfo": records.CBaseInfo,
    "OnBroadCast": records.CBroadCast, "OnRealtimePrice": records.CForexMerch,
    "OnSocketError": None, "OnBargainOpened": records.CBargain,
    "OnOpenRefused": records.COrderInfo, "OnBargainClosed": records.CBargain,
    "OnCloseRefused": records.COrderInfo, "OnOrderAdded": records.COrderInfo,
    "OnOrderRefused": records.COrderInfo, "OnOrderChanged": records.COrderInfo,
    "OnChangeRefused": records.COrderInfo, "OnOrderDeleted": records.COrderInfo,
    "OnDeleteRefused": records.COrderInfo, "OnSpareB": None,
}

UTC = datetime.timezone.utc


class Event:
    """One callback: `name` (the C++ callback's name), `data` (a record, a list of records, a
    dict such as {"code": 101} or {"text": ...}, or None), and two UTC times: `received`, when
    the message's last bytes arrived (captures only; None live), and `dispatched`, when the
    library called back. `message` counts the messages dispatched before this one (captures)."""

    __slots__ = ("name", "data", "received", "dispatched", "message")

    def __init__(self, name: str, data: Any, received: datetime.datetime | None = None,
                 dispatched: datetime.datetime | None = None, message: int | None = None) -> None:
        self.name = name
        self.data = data
        self.received = received
        self.dispatched = dispatched
        self.message = message

    @classmethod
    def from_binding(cls, name: str, payload: Any, **times: Any) -> "Event":
        record_class = PAYLOAD_CLASSES.get(name)
        data = payload if record_class is None else records.wrap(record_class, payload)
        return cls(name, data, **times)

    @property
    def records(self) -> list[Any]:
        """The event's records as a list (empty for events without one)."""
        if isinstance(self.data, list):
            return self.data
        return [self.data] if isinstance(self.data, records.Record) else []

    def to_dict(self) -> dict[str, Any]:
        data = self.data
        if isinstance(data, list):
            data = [item.to_dict() for item in data]
        elif isinstance(data, records.Record):
            data = data.to_dict()
        return {"name": self.name, "data": data, "received": self.received,
                "dispatched": self.dispatched, "message": self.message}

    def __eq__(self, other: object) -> bool:
        if not isinstance(other, Event):
            return NotImplemented
        return (self.name, self.data) == (other.name, other.data)

    def __repr__(self) -> str:
        return f"Event({self.name}, {self.data!r})"


class EventsDropped(Event):
    """Marks where `count` events were dropped because the queue was full."""

    __slots__ = ()

    def __init__(self, count: int) -> None:
        super().__init__(EVENTS_DROPPED, {"count": count},
                         dispatched=datetime.datetime.now(UTC))

    @property
    def count(self) -> int:
        return self.data["count"]


class EventQueue:
    """Bounded, never blocks the producer. Any thread may put; any thread may get; asyncio
    consumers wait through get_async. After close(), gets drain what is left, then end."""

    def __init__(self, maxsize: int = 10000) -> None:
        if maxsize < 1:
            raise ValueError("the event queue holds at least one event")
        self.maxsize = maxsize
        self._items: collections.deque[Event] = collections.deque()
        self._dropped = 0
        self._closed = False
        self._ready = threading.Condition(threading.Lock())
        self._async_waiters: list[tuple[asyncio.AbstractEventLoop, asyncio.Future[None]]] = []

    def put(self, event: Event) -> None:
        with self._ready:
            if self._closed:
                return
            if len(self._items) >= self.maxsize:
                self._dropped += 1
                return
            if self._dropped:
                if len(self._items) + 1 >= self.maxsize:
                    self._dropped += 1
                    return
                self._items.append(EventsDropped(self._dropped))
                self._dropped = 0
            self._items.append(event)
            self._ready.notify()
            self._wake_async()

    def close(self) -> None:
        with self._ready:
            self._closed = True
            if self._dropped:
                self._items.append(EventsDropped(self._dropped))
                self._dropped = 0
            self._ready.notify_all()
            self._wake_async()

    @property
    def closed(self) -> bool:
        return self._closed

    def __len__(self) -> int:
        return len(self._items)

    def get(self, timeout: float | None = None) -> Event | None:
        """The next event; None when `timeout` seconds pass first, or when the queue is closed
        and empty."""
        deadline = None if timeout is None else time.monotonic() + timeout
        with self._ready:
            while not self._items:
                if self._closed:
                    return None
                remaining = None if deadline is None else deadline - time.monotonic()
                if remaining is not None and remaining <= 0:
                    return None
                self._ready.wait(remaining)
            return self._items.popleft()

    async def get_async(self, timeout: float | None = None) -> Event | None:
        loop = asyncio.get_running_loop()
        deadline = None if timeout is None else loop.time() + timeout
        while True:
            with self._ready:
                if self._items:
                    return self._items.popleft()
                if self._closed:
                    return None
                waiter: asyncio.Future[None] = loop.create_future()
                self._async_waiters.append((loop, waiter))
            remaining = None if deadline is None else deadline - loop.time()
            if remaining is not None and remaining <= 0:
                return None
            try:
                await asyncio.wait_for(waiter, remaining)
            except asyncio.TimeoutError:
                return None

    def _wake_async(self) -> None:
        waiters, self._async_waiters = self._async_waiters, []
        for loop, waiter in waiters:
            try:
                loop.call_soon_threadsafe(_resolve, waiter)
            except RuntimeError:  # that loop is closed
                pass

    def iterate(self, timeout: float | None) -> Iterator[Event]:
        while True:
            event = self.get(timeout)
            if event is None:
                return
            yield event

    async def iterate_async(self, timeout: float | None) -> AsyncIterator[Event]:
        while True:
            event = await self.get_async(timeout)
            if event is None:
                return
            yield event


def _resolve(waiter: asyncio.Future[None]) -> None:
    if not waiter.done():
        waiter.set_result(None)
