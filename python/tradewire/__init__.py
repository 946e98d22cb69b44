"""Tradewire from Python: live sessions, captures as data, and reports.

    import tradewire
    with tradewire.Connection("127.0.0.1", port) as conn:
        account = conn.login("demo", "demo")
        deal = conn.buy("EURUSD", 0.1)

See the README's "Python" section for the event model and the limits.
"""

from . import records
from .capture import Capture, CaptureTruncated, read_capture
from .connection import Connection, connect
from .errors import (ConnectError, ConnectionClosed, Disconnected, LoginRefused, OrderRefused,
                     RequestFailed, TradewireError)
from .events import EVENTS_DROPPED, Event, EventQueue, EventsDropped
from .records import ALIASES, records_to_frame

__all__ = [
    "ALIASES", "Capture", "CaptureTruncated", "ConnectError", "Connection", "ConnectionClosed",
    "Disconnected", "EVENTS_DROPPED", "Event", "EventQueue", "EventsDropped", "LoginRefused",
    "OrderRefused", "RequestFailed", "TradewireError", "connect", "read_capture", "records",
    "records_to_frame",
]
