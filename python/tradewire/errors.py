"""The package's exceptions. Each carries the numbers and words the library or the server gave."""

from __future__ import annotations

from typing import Any

from . import _wire


class TradewireError(Exception):
    """Base of every error this package raises."""


class ConnectError(TradewireError):
    """ConnectServer failed: `code` is the library's E_ErrorCode, `name` its name."""

    def __init__(self, code: int, detail: str = "") -> None:
        self.code = code
        self.name = _wire.ERROR_NAMES.get(code, "unknown")
        text = f"connection failed: {self.name} ({code})"
        super().__init__(text + (f": {detail}" if detail else ""))


class LoginRefused(TradewireError):
    """The server refused the login: `code` is its error number, `text` its words if any."""

    def __init__(self, code: int, text: str = "") -> None:
        self.code = code
        self.text = text
        super().__init__(f"login refused: code {code}" + (f": {text}" if text else ""))


class OrderRefused(TradewireError):
    """The server refused an order: `code` is the reply's kind, `reason` its text and `reply`
    the refusal record itself."""

    def __init__(self, event: str, reply: Any) -> None:
        self.event = event
        self.reply = reply
        self.code = reply.OrderKind
        self.reason = reply.Value28
        super().__init__(f"{event}: {self.reason or 'refused'} (kind {self.code})")


class RequestFailed(TradewireError):
    """The library did not accept a request (not connected, or an empty text)."""


class ConnectionClosed(TradewireError):
    """The connection was closed while a call waited for it."""


class Disconnected(TradewireError):
    """The server broke the connection: `error` is the socket error number (0: closed)."""

    def __init__(self, error: int) -> None:
        self.error = error
        super().__init__(f"connection lost: socket error {error}")
