"""A live session: one `Connection` owns one connection object of the library.

Linear style first: every request that has an answer has a blocking method that returns the
answer or raises within a timeout, and an `_async` twin for asyncio that shares the same state.
Blocking methods refuse to run inside a running event loop (they would stall it); use the
`_async` twin there.
"""

from __future__ import annotations

import asyncio
import atexit
import datetime
import os
import threading
import time
import weakref
from typing import Any, AsyncIterator, Callable, Iterator

from . import _tradewire, _wire, records
from .errors import (ConnectError, ConnectionClosed, Disconnected, LoginRefused, OrderRefused,
                     RequestFailed)
from .events import UTC, Event, EventQueue

# Callbacks that answer an order request, matched to it by InternalNo; those that refuse it.
ORDER_REPLIES = frozenset({"OnBargainOpened", "OnBargainClosed", "OnOrderAdded",
                           "OnOrderChanged", "OnOrderDeleted", "OnOpenRefused", "OnCloseRefused",
                           "OnOrderRefused", "OnChangeRefused", "OnDeleteRefused"})
REFUSALS = frozenset({"OnOpenRefused", "OnCloseRefused", "OnOrderRefused", "OnChangeRefused",
                      "OnDeleteRefused"})
# What a login brings before the session is complete enough to trade: the account and the
# instruments, then the position and order lists. An empty list may bring no callback at all,
# so the order list, or any later event (a quote, a notice, a broadcast), ends the snapshot.
SNAPSHOT = frozenset({"OnAccountInfo", "OnForexMerchs"})
SNAPSHOT_ENDS = frozenset({"OnOrdersInfo", "OnRealtimePrice", "OnTextMessage", "OnBroadCast"})
# Who made a request, in COrderInfo.Value28.
REQUESTER = "tradewire-py"

_open_connections: "weakref.WeakSet[Connection]" = weakref.WeakSet()


@atexit.register
def _close_all() -> None:
    # Before the interpreter finalizes: a library thread asking for the GIL after that point
    # would never get it, and the join in DisConnect would wait forever.
    for connection in list(_open_connections):
        connection.close()


class _Session:
    """What the callbacks told so far. deliver() runs on the library's processing thread with
    the GIL; every other method on user threads. `changed` guards every member."""

    def __init__(self, queue: EventQueue) -> None:
        self.queue = queue
        self.changed = threading.Condition(threading.Lock())
        self.closed = False
        self.seen: set[str] = set()
        self.error_codes: list[int] = []
        self.texts: list[str] = []
        self.socket_error: int | None = None
        self.pending: set[int] = set()
        self.replies: dict[int, Event] = {}
        self.history_replies = 0

    def deliver(self, name: str, payload: Any) -> None:
        event = Event.from_binding(name, payload, dispatched=datetime.datetime.now(UTC))
        with self.changed:
            self._note(event)
            self.changed.notify_all()
        self.queue.put(event)

    def _note(self, event: Event) -> None:
        self.seen.add(event.name)
        if event.name == "OnErrorCode":
            self.error_codes.append(event.data["code"])
        elif event.name == "OnTextMessage":
            self.texts.append(event.data["text"])
        elif event.name == "OnSocketError" and self.socket_error is None:
            self.socket_error = event.data["error"]
        elif event.name == "OnHistoryOrderInfo":
            self.history_replies += 1
        elif event.name in ORDER_REPLIES:
            number = event.data.InternalNo
            if number in self.pending:
                self.pending.discard(number)
                self.replies[number] = event

    def forget(self, names: set[str]) -> None:
        with self.changed:
            self.seen -= names

    def wait(self, ready: Callable[[], Any], timeout: float, what: str) -> Any:
        """ready()'s first true result, called under the lock; raises when the connection is
        closed or broken first, or TimeoutError after `timeout` seconds."""
        deadline = time.monotonic() + timeout
        with self.changed:
            while True:
                result = ready()
                if result:
                    return result
                if self.closed:
                    raise ConnectionClosed(f"closed while waiting for {what}")
                if self.socket_error is not None:
                    raise Disconnected(self.socket_error)
                remaining = deadline - time.monotonic()
                if remaining <= 0:
                    raise TimeoutError(f"no {what} within {timeout} s")
                self.changed.wait(remaining)

    def close(self) -> None:
        with self.changed:
            self.closed = True
            self.changed.notify_all()
        self.queue.close()


def _not_in_event_loop(method: str) -> None:
    try:
        asyncio.get_running_loop()
    except RuntimeError:
        return
    raise RuntimeError(f"{method}() would block the running event loop; await "
                       f"{method}_async() instead")


class Connection:
    """One session with a trading server.

    `pin` (a public-key SHA-256 pin, or several comma-separated), `ca_file` and `server_name`
    turn on the library's server checks; `messages_per_pass` sets its pace. They are the
    library's process-wide variables, set for the duration of connect() only. `queue_size`
    bounds the event stream. Use as a context manager, or call close(); connections still open
    at interpreter exit are closed then.

    Threads: any thread may call any method; close() from another thread wakes every waiting
    call with ConnectionClosed. Events and state are updated on the library's thread.
    """

    def __init__(self, host: str = "127.0.0.1", port: int = 0, *, pin: str | None = None,
                 ca_file: str | None = None, server_name: str | None = None,
                 messages_per_pass: int | None = None, queue_size: int = 10000,
                 timeout: float = 10.0) -> None:
        self.host = host
        self.port = port
        self.timeout = timeout
        self._settings = {"TRADEWIRE_PIN_SHA256": pin, "TRADEWIRE_CA_FILE": ca_file,
                          "TRADEWIRE_SERVER_NAME": server_name,
                          "TRADEWIRE_MESSAGES_PER_PASS":
                              None if messages_per_pass is None else str(messages_per_pass)}
        self._session = _Session(EventQueue(queue_size))
        self._manager = _tradewire.Manager(self._session.deliver)
        self._user = ""
        self._connected = False
        _open_connections.add(self)

    # -- life ---------------------------------------------------------------------------

    def connect(self) -> "Connection":
        """ConnectServer (up to 15 s); raises ConnectError with the library's code."""
        before = len(self._session.error_codes)
        saved = {name: os.environ.get(name) for name in self._settings}
        try:
            for name, value in self._settings.items():
                if value is not None:
                    os.environ[name] = value
            connected = self._manager.connect(self.host, int(self.port))
        finally:
            for name, value in saved.items():
                if value is None:
                    os.environ.pop(name, None)
                else:
                    os.environ[name] = value
        if not connected:
            codes = self._session.error_codes[before:]
            raise ConnectError(codes[-1] if codes else 0)
        self._connected = True
        return self

    def close(self) -> None:
        """Disconnects and frees the library's object. Idempotent; safe from any thread."""
        self._session.close()
        self._manager.release()
        self._connected = False
        _open_connections.discard(self)

    @property
    def closed(self) -> bool:
        return self._session.closed

    def __enter__(self) -> "Connection":
        if not self._connected:
            self.connect()
        return self

    def __exit__(self, *exc: object) -> None:
        self.close()

    # -- session ------------------------------------------------------------------------

    def login(self, user: str, password: str, timeout: float | None = None) -> Any:
        """Logs in, waits for the reply and the snapshot; returns the account (CAccountInfo).
        Raises LoginRefused with the server's code and text."""
        _not_in_event_loop("login")
        timeout = self.timeout if timeout is None else timeout
        session = self._session
        errors_before = len(session.error_codes)
        texts_before = len(session.texts)
        session.forget({"OnLoginReply"} | SNAPSHOT | SNAPSHOT_ENDS)
        if not self._manager.login(user, password):
            raise RequestFailed("the library did not send the login (not connected?)")
        self._user = user

        def replied() -> Any:
            if len(session.error_codes) > errors_before:
                return ("refused", session.error_codes[-1])
            return "OnLoginReply" in session.seen and ("ok", 0)

        outcome, code = session.wait(replied, timeout, "login reply")
        if outcome == "refused":
            text = " ".join(session.texts[texts_before:])
            raise LoginRefused(code, text)
        self.wait_snapshot(timeout)
        return self.account

    def wait_snapshot(self, timeout: float | None = None) -> None:
        """Waits until the login's account, instruments, positions and orders arrived."""
        _not_in_event_loop("wait_snapshot")
        session = self._session
        session.wait(lambda: SNAPSHOT <= session.seen and bool(SNAPSHOT_ENDS & session.seen),
                     self.timeout if timeout is None else timeout, "snapshot")

    def logout(self, timeout: float | None = None) -> str:
        """Logs out and returns the server's goodbye text."""
        _not_in_event_loop("logout")
        session = self._session
        texts_before = len(session.texts)
        if not self._manager.logout(self._user):
            raise RequestFailed("the library did not send the logout")
        return session.wait(lambda: session.texts[texts_before:] and session.texts[-1],
                            self.timeout if timeout is None else timeout, "logout reply")

    # -- state, read through the data center's getters ------------------------------------

    @property
    def account(self) -> Any:
        return self._read(self._manager.account, records.CAccountInfo)

    @property
    def balance(self) -> float | None:
        account = self.account
        return None if account is None else account.balance

    @property
    def instruments(self) -> list[Any]:
        return self._read(self._manager.instruments, records.CForexMerch) or []

    def instrument(self, symbol: str) -> Any:
        for merch in self.instruments:
            if merch.MerchCode == symbol:
                return merch
        raise KeyError(f"no instrument {symbol!r}")

    @property
    def quotes(self) -> dict[str, Any]:
        """symbol -> its last quote (CForexRealtimePrice)."""
        return {merch.MerchCode: merch.RealtimePrice for merch in self.instruments}

    @property
    def currencies(self) -> list[Any]:
        return self._read(self._manager.currencies, records.CCurrency) or []

    @property
    def positions(self) -> list[Any]:
        return self._read(self._manager.bargains, records.CBargain) or []

    @property
    def orders(self) -> list[Any]:
        return self._read(self._manager.orders, records.COrderInfo) or []

    @property
    def history(self) -> list[Any]:
        return self._read(self._manager.history, records.CHistoryOrderInfo) or []

    @property
    def group(self) -> Any:
        return self._read(self._manager.group, records.CGroup)

    @property
    def base_info(self) -> Any:
        return self._read(self._manager.base_info, records.CBaseInfo)

    @property
    def broadcast(self) -> Any:
        return self._read(self._manager.broadcast, records.CBroadCast)

    @property
    def error_code(self) -> int:
        """The data center's error code: the last one the server reported."""
        return self._manager.data_center_error()

    def _read(self, getter: Callable[[], Any], cls: type) -> Any:
        values = getter()
        return None if values is None else records.wrap(cls, values)

    # -- orders ---------------------------------------------------------------------------

    def buy(self, symbol: str, lots: float, *, stop_loss: float | None = None,
            take_profit: float | None = None, timeout: float | None = None) -> Any:
        """Opens a position at the market; returns the opening deal (CBargain)."""
        return self._market(_wire.BUY, symbol, lots, stop_loss, take_profit, timeout)

    def sell(self, symbol: str, lots: float, *, stop_loss: float | None = None,
             take_profit: float | None = None, timeout: float | None = None) -> Any:
        return self._market(_wire.SELL, symbol, lots, stop_loss, take_profit, timeout)

    def close_position(self, position: Any, lots: float | None = None,
                       timeout: float | None = None) -> Any:
        """Closes a position (CBargain or its BargainNo), whole or `lots` of it; returns the
        closing deal (CBargain)."""
        held = self._position(position)
        fields = self._request(_wire.CLOSE_MARKET, held.MerchCode)
        fields.update(BargainNo=held.BargainNo, Value10=_wire.opposite_side(held.Direction),
                      Value11=_wire.lots_to_wire(held.Lots if lots is None else lots),
                      CloseFlag=1)
        return self._commit(fields, timeout)

    def set_triggers(self, position: Any, stop_loss: float | None = None,
                     take_profit: float | None = None, timeout: float | None = None) -> Any:
        """Sets a position's stop loss and take profit (None: none); returns the order reply."""
        held = self._position(position)
        fields = self._request(_wire.SET_TRIGGERS, held.MerchCode)
        fields["BargainNo"] = held.BargainNo
        fields.update(self._triggers(held.MerchCode, stop_loss, take_profit))
        return self._commit(fields, timeout)

    def buy_limit(self, symbol: str, lots: float, price: float, **kw: Any) -> Any:
        return self._pending(_wire.BUY_LIMIT, symbol, lots, price, **kw)

    def sell_limit(self, symbol: str, lots: float, price: float, **kw: Any) -> Any:
        return self._pending(_wire.SELL_LIMIT, symbol, lots, price, **kw)

    def buy_stop(self, symbol: str, lots: float, price: float, **kw: Any) -> Any:
        return self._pending(_wire.BUY_STOP, symbol, lots, price, **kw)

    def sell_stop(self, symbol: str, lots: float, price: float, **kw: Any) -> Any:
        return self._pending(_wire.SELL_STOP, symbol, lots, price, **kw)

    def change_order(self, order: Any, price: float, *, stop_loss: float | None = None,
                     take_profit: float | None = None, timeout: float | None = None) -> Any:
        """Moves a pending order (COrderInfo or its OrderNo); returns the changed order."""
        pending = self._pending_order(order)
        fields = self._request(_wire.CHANGE_ORDER, pending.MerchCode)
        fields["OrderNo"] = pending.OrderNo
        fields["Value14"] = self._price(pending.MerchCode, price)
        fields.update(self._triggers(pending.MerchCode, stop_loss, take_profit))
        return self._commit(fields, timeout)

    def delete_order(self, order: Any, timeout: float | None = None) -> Any:
        """Deletes a pending order; returns the removed order."""
        pending = self._pending_order(order)
        fields = self._request(_wire.DELETE_ORDER, pending.MerchCode)
        fields["OrderNo"] = pending.OrderNo
        return self._commit(fields, timeout)

    def request_history(self, start: datetime.datetime | int, end: datetime.datetime | int,
                        timeout: float | None = None) -> list[Any]:
        """Asks for the deals closed between two times; returns the history store after the
        reply."""
        _not_in_event_loop("request_history")
        session = self._session
        before = session.history_replies
        if not self._manager.request_history(_seconds(start), _seconds(end)):
            raise RequestFailed("the library did not send the history request")
        session.wait(lambda: session.history_replies > before,
                     self.timeout if timeout is None else timeout, "history")
        return self.history

    def _market(self, side: int, symbol: str, lots: float, stop_loss: float | None,
                take_profit: float | None, timeout: float | None) -> Any:
        fields = self._request(_wire.OPEN_MARKET, symbol)
        fields.update(Value10=side, Value11=_wire.lots_to_wire(lots))
        fields.update(self._triggers(symbol, stop_loss, take_profit))
        return self._commit(fields, timeout)

    def _pending(self, kind: int, symbol: str, lots: float, price: float, *,
                 stop_loss: float | None = None, take_profit: float | None = None,
                 timeout: float | None = None) -> Any:
        fields = self._request(kind, symbol)
        fields.update(Value10=_wire.side_of_pending_kind(kind), Value11=_wire.lots_to_wire(lots),
                      Value14=self._price(symbol, price))
        fields.update(self._triggers(symbol, stop_loss, take_profit))
        return self._commit(fields, timeout)

    def _request(self, kind: int, symbol: str) -> dict[str, Any]:
        account = self.account
        return {"AccountCode": account.AccountCode if account else self._user,
                "MerchCode": symbol, "OrderKind": kind, "Value10": _wire.NO_SIDE,
                "Value28": REQUESTER}

    def _price(self, symbol: str, price: float | None) -> float:
        if price is None:
            return 0.0
        return _wire.price_to_wire(price, self.instrument(symbol).PriceUnit)

    def _triggers(self, symbol: str, stop_loss: float | None,
                  take_profit: float | None) -> dict[str, float]:
        return {"TriggerPrice1": self._price(symbol, stop_loss),
                "TriggerPrice2": self._price(symbol, take_profit)}

    def _position(self, position: Any) -> Any:
        if isinstance(position, records.Record):
            return position
        for held in self.positions:
            if held.BargainNo == position:
                return held
        raise KeyError(f"no position {position}")

    def _pending_order(self, order: Any) -> Any:
        if isinstance(order, records.Record):
            return order
        for pending in self.orders:
            if pending.OrderNo == order:
                return pending
        raise KeyError(f"no pending order {order}")

    def _commit(self, fields: dict[str, Any], timeout: float | None) -> Any:
        _not_in_event_loop(_wire.ORDER_KIND_NAMES.get(fields["OrderKind"], "order"))
        session = self._session
        number = self._manager.internal_no()
        fields["InternalNo"] = number
        with session.changed:
            session.pending.add(number)
        if not self._manager.commit(fields):
            with session.changed:
                session.pending.discard(number)
            raise RequestFailed("the library did not send the order (not connected?)")
        try:
            event = session.wait(lambda: session.replies.pop(number, None),
                                 self.timeout if timeout is None else timeout,
                                 f"reply to order {number}")
        finally:
            with session.changed:
                session.pending.discard(number)
        if event.name in REFUSALS:
            raise OrderRefused(event.name, event.data)
        return event.data

    # -- events ---------------------------------------------------------------------------

    def events(self, timeout: float | None = None) -> Iterator[Event]:
        """Blocking iterator over the events, in the library's order. Ends when `timeout`
        seconds pass without an event, or after close() once the queue is drained."""
        return self._session.queue.iterate(timeout)

    def events_async(self, timeout: float | None = None) -> AsyncIterator[Event]:
        """The same stream for `async for`."""
        return self._session.queue.iterate_async(timeout)

    def next_event(self, timeout: float | None = None) -> Event | None:
        return self._session.queue.get(timeout)

    # -- asyncio twins: the blocking calls on a worker thread, sharing this object's state ---

    async def connect_async(self) -> "Connection":
        return await asyncio.to_thread(self.connect)

    async def login_async(self, user: str, password: str, timeout: float | None = None) -> Any:
        return await asyncio.to_thread(self.login, user, password, timeout)

    async def wait_snapshot_async(self, timeout: float | None = None) -> None:
        return await asyncio.to_thread(self.wait_snapshot, timeout)

    async def logout_async(self, timeout: float | None = None) -> str:
        return await asyncio.to_thread(self.logout, timeout)

    async def buy_async(self, symbol: str, lots: float, **kw: Any) -> Any:
        return await asyncio.to_thread(lambda: self.buy(symbol, lots, **kw))

    async def sell_async(self, symbol: str, lots: float, **kw: Any) -> Any:
        return await asyncio.to_thread(lambda: self.sell(symbol, lots, **kw))

    async def close_position_async(self, position: Any, lots: float | None = None,
                                   timeout: float | None = None) -> Any:
        return await asyncio.to_thread(self.close_position, position, lots, timeout)

    async def set_triggers_async(self, position: Any, stop_loss: float | None = None,
                                 take_profit: float | None = None,
                                 timeout: float | None = None) -> Any:
        return await asyncio.to_thread(self.set_triggers, position, stop_loss, take_profit,
                                       timeout)

    async def buy_limit_async(self, symbol: str, lots: float, price: float, **kw: Any) -> Any:
        return await asyncio.to_thread(lambda: self.buy_limit(symbol, lots, price, **kw))

    async def sell_limit_async(self, symbol: str, lots: float, price: float, **kw: Any) -> Any:
        return await asyncio.to_thread(lambda: self.sell_limit(symbol, lots, price, **kw))

    async def buy_stop_async(self, symbol: str, lots: float, price: float, **kw: Any) -> Any:
        return await asyncio.to_thread(lambda: self.buy_stop(symbol, lots, price, **kw))

    async def sell_stop_async(self, symbol: str, lots: float, price: float, **kw: Any) -> Any:
        return await asyncio.to_thread(lambda: self.sell_stop(symbol, lots, price, **kw))

    async def change_order_async(self, order: Any, price: float, **kw: Any) -> Any:
        return await asyncio.to_thread(lambda: self.change_order(order, price, **kw))

    async def delete_order_async(self, order: Any, timeout: float | None = None) -> Any:
        return await asyncio.to_thread(self.delete_order, order, timeout)

    async def request_history_async(self, start: Any, end: Any,
                                    timeout: float | None = None) -> list[Any]:
        return await asyncio.to_thread(self.request_history, start, end, timeout)


def _seconds(moment: datetime.datetime | int) -> int:
    if isinstance(moment, datetime.datetime):
        return int(moment.timestamp())
    return int(moment)


def connect(host: str, port: int, **options: Any) -> Connection:
    """A connected Connection (see Connection for the options)."""
    return Connection(host, port, **options).connect()
