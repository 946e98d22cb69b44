"""The library's records as Python objects.

Every field is there under its C++ name (`rec.MerchCode`, `rec.Value11`), so the C++
documentation reads across. Fields whose meaning is known also have a readable alias; the
aliases, all in one table (`ALIASES`), with what each means:

| Record | Alias | Field | Meaning |
|---|---|---|---|
| CForexRealtimePrice | symbol, bid, ask, stamp | MerchCode, Bid, Ask, QuoteStamp | the quote; stamp as the server sent it |
| CForexMerch | symbol, name, price_unit, min_spread | MerchCode, MerchName, PriceUnit, MinSpread | the instrument |
| CForexMerch | bid, ask, quote | RealtimePrice.Bid, .Ask, RealtimePrice | its last quote |
| COrderInfo | symbol, account, internal_no, order_no, position_no | MerchCode, AccountCode, InternalNo, OrderNo, BargainNo | keys |
| COrderInfo | kind, kind_name | OrderKind, its name (open, close, buy_limit, ..., refusal) | |
| COrderInfo | side | Value10 as "buy" / "sell" (None when unset) | |
| COrderInfo | lots | Value11 / 100: the lots in hundredths, in lots | |
| COrderInfo | price, stop_loss, take_profit | Value14, TriggerPrice1, TriggerPrice2 | as the record carries them |
| COrderInfo | reason | Value28: a refusal's reason, the requester's tag in a request | |
| CBargain | symbol, position_no, open_position_no, internal_no | MerchCode, BargainNo, OpenBargainNo, InternalNo | keys |
| CBargain | side, closing | Direction as "buy"/"sell", CloseFlag as bool | |
| CBargain | lots, price, stop_loss, take_profit, charge, credit | Lots, Price, TriggerPrice1, TriggerPrice2, Charge, Credit | |
| CHistoryOrderInfo | symbol, lots, side, open_price, close_price, profit, position_no, open_position_no | MerchCode, Lots, Direction, OpenPrice, ClosePrice, Profit, BargainNo, OpenBargainNo | |
| CCurrency | code, usd_rate | CurrencyCode, UsdRate | |
| CFundInfo | balance | Balance | |
| CAccountInfo | account, funds, instruments, balance | AccountCode, Funds, Merchs, Funds[0].Balance | |

Records compare by value, `repr` shows the useful fields first, and `to_dict()` gives the C++
field names (nested records as dicts). `records_to_frame(list)` makes a pandas DataFrame when
pandas is installed, else returns the list of dicts.
"""

from __future__ import annotations

from typing import Any, Callable, ClassVar

from . import _tradewire, _wire

_FIELDS: dict[str, list[str]] = _tradewire.record_fields()


def _side(value: int) -> str | None:
    return _wire.SIDE_NAMES.get(value)


class Record:
    """Base of every record class: one value per C++ field, in declaration order."""

    __slots__ = ("_values",)
    CPP_NAME: ClassVar[str] = ""
    FIELDS: ClassVar[tuple[str, ...]] = ()
    REPR_FIRST: ClassVar[tuple[str, ...]] = ()

    def __init__(self, values: dict[str, Any] | None = None, **fields: Any) -> None:
        merged = dict(values or {})
        merged.update(fields)
        unknown = set(merged) - set(self.FIELDS)
        if unknown:
            raise TypeError(f"{self.CPP_NAME} has no field {sorted(unknown)}")
        self._values = merged

    @classmethod
    def _wrap(cls, values: dict[str, Any]) -> "Record":
        record = cls.__new__(cls)
        record._values = values
        return record

    def to_dict(self) -> dict[str, Any]:
        return {name: _plain(self._values.get(name)) for name in self.FIELDS}

    def __eq__(self, other: object) -> bool:
        if type(other) is not type(self):
            return NotImplemented
        return self.to_dict() == other.to_dict()

    def __hash__(self) -> int:
        return hash((self.CPP_NAME, repr(self.to_dict())))

    def __repr__(self) -> str:
        shown = ", ".join(f"{name}={getattr(self, name)!r}" for name in self.REPR_FIRST)
        return f"{type(self).__name__}({shown}, ...)"


def _plain(value: Any) -> Any:
    if isinstance(value, Record):
        return value.to_dict()
    if isinstance(value, list):
        return [_plain(item) for item in value]
    return value


def _field(name: str) -> property:
    return property(lambda self: self._values.get(name), doc=f"C++ field {name}")


def _alias(read: Callable[[Any], Any], doc: str) -> property:
    return property(read, doc=doc)


_DEFAULTS: dict[str, dict[str, Any]] = {}


def _make(cpp_name: str, repr_first: tuple[str, ...], aliases: dict[str, property],
          nested: dict[str, type] | None = None) -> type:
    namespace: dict[str, Any] = {"__slots__": (), "CPP_NAME": cpp_name,
                                 "FIELDS": tuple(_FIELDS[cpp_name]), "REPR_FIRST": repr_first,
                                 "NESTED": nested or {}}
    for name in _FIELDS[cpp_name]:
        namespace[name] = _field(name)
    namespace.update(aliases)
    return type(cpp_name, (Record,), namespace)


def _get(name: str) -> Callable[[Any], Any]:
    return lambda self: self._values.get(name)


CForexRealtimePrice = _make("CForexRealtimePrice", ("MerchCode", "Bid", "Ask"), {
    "symbol": _alias(_get("MerchCode"), "MerchCode"),
    "bid": _alias(_get("Bid"), "Bid"),
    "ask": _alias(_get("Ask"), "Ask"),
    "stamp": _alias(_get("QuoteStamp"), "QuoteStamp"),
})
CForexMerch = _make("CForexMerch", ("MerchCode", "MerchName", "PriceUnit"), {
    "symbol": _alias(_get("MerchCode"), "MerchCode"),
    "name": _alias(_get("MerchName"), "MerchName"),
    "price_unit": _alias(_get("PriceUnit"), "PriceUnit"),
    "min_spread": _alias(_get("MinSpread"), "MinSpread"),
    "quote": _alias(_get("RealtimePrice"), "RealtimePrice"),
    "bid": _alias(lambda self: self._values["RealtimePrice"].Bid, "RealtimePrice.Bid"),
    "ask": _alias(lambda self: self._values["RealtimePrice"].Ask, "RealtimePrice.Ask"),
}, {"RealtimePrice": CForexRealtimePrice})
COrderInfo = _make("COrderInfo", ("MerchCode", "OrderKind", "InternalNo", "OrderNo", "Value28"), {
    "symbol": _alias(_get("MerchCode"), "MerchCode"),
    "account": _alias(_get("AccountCode"), "AccountCode"),
    "internal_no": _alias(_get("InternalNo"), "InternalNo"),
    "order_no": _alias(_get("OrderNo"), "OrderNo"),
    "position_no": _alias(_get("BargainNo"), "BargainNo"),
    "kind": _alias(_get("OrderKind"), "OrderKind"),
    "kind_name": _alias(lambda self: _wire.ORDER_KIND_NAMES.get(self._values.get("OrderKind")),
                        "OrderKind's name"),
    "side": _alias(lambda self: _side(self._values.get("Value10", 0)), "Value10 as buy/sell"),
    "lots": _alias(lambda self: self._values.get("Value11", 0) / _wire.LOTS_SCALE,
                   "Value11 (hundredths) in lots"),
    "price": _alias(_get("Value14"), "Value14"),
    "stop_loss": _alias(_get("TriggerPrice1"), "TriggerPrice1"),
    "take_profit": _alias(_get("TriggerPrice2"), "TriggerPrice2"),
    "reason": _alias(_get("Value28"), "Value28"),
})
CBargain = _make("CBargain", ("MerchCode", "BargainNo", "Direction", "Lots", "Price"), {
    "symbol": _alias(_get("MerchCode"), "MerchCode"),
    "position_no": _alias(_get("BargainNo"), "BargainNo"),
    "open_position_no": _alias(_get("OpenBargainNo"), "OpenBargainNo"),
    "internal_no": _alias(_get("InternalNo"), "InternalNo"),
    "side": _alias(lambda self: _side(self._values.get("Direction", 0)), "Direction as buy/sell"),
    "closing": _alias(lambda self: bool(self._values.get("CloseFlag")), "CloseFlag"),
    "lots": _alias(_get("Lots"), "Lots"),
    "price": _alias(_get("Price"), "Price"),
    "stop_loss": _alias(_get("TriggerPrice1"), "TriggerPrice1"),
    "take_profit": _alias(_get("TriggerPrice2"), "TriggerPrice2"),
    "charge": _alias(_get("Charge"), "Charge"),
    "credit": _alias(_get("Credit"), "Credit"),
})
CHistoryOrderInfo = _make("CHistoryOrderInfo", ("MerchCode", "BargainNo", "Lots", "Profit"), {
    "symbol": _alias(_get("MerchCode"), "MerchCode"),
    "lots": _alias(_get("Lots"), "Lots"),
    "side": _alias(lambda self: _side(self._values.get("Direction", 0)), "Direction as buy/sell"),
    "open_price": _alias(_get("OpenPrice"), "OpenPrice"),
    "close_price": _alias(_get("ClosePrice"), "ClosePrice"),
    "profit": _alias(_get("Profit"), "Profit"),
    "position_no": _alias(_get("BargainNo"), "BargainNo"),
    "open_position_no": _alias(_get("OpenBargainNo"), "OpenBargainNo"),
})
CCurrency = _make("CCurrency", ("CurrencyCode", "UsdRate"), {
    "code": _alias(_get("CurrencyCode"), "CurrencyCode"),
    "usd_rate": _alias(_get("UsdRate"), "UsdRate"),
})
CBroadCast = _make("CBroadCast", ("Value1", "Value4"), {})
CGroup = _make("CGroup", ("Value1", "Value2"), {})
CBaseInfo = _make("CBaseInfo", ("Value1", "BaseRateSwitch"), {})
CFundInfo = _make("CFundInfo", ("Balance",), {"balance": _alias(_get("Balance"), "Balance")})
CAccountInfo = _make("CAccountInfo", ("AccountCode", "InternalNo"), {
    "account": _alias(_get("AccountCode"), "AccountCode"),
    "funds": _alias(_get("Funds"), "Funds"),
    "instruments": _alias(_get("Merchs"), "Merchs"),
    "balance": _alias(lambda self: self._values["Funds"][0].Balance if self._values.get("Funds")
                      else None, "Funds[0].Balance"),
}, {"Funds": CFundInfo, "Merchs": CForexMerch})

RECORD_CLASSES: dict[str, type] = {cls.CPP_NAME: cls for cls in (
    CForexRealtimePrice, CForexMerch, COrderInfo, CBargain, CHistoryOrderInfo, CCurrency,
    CBroadCast, CGroup, CBaseInfo, CFundInfo, CAccountInfo)}

ALIASES: dict[str, dict[str, str]] = {
    name: {alias: getattr(cls, alias).__doc__ for alias, value in vars(cls).items()
           if isinstance(value, property) and alias not in cls.FIELDS}
    for name, cls in RECORD_CLASSES.items()}


def wrap(cls: type, values: Any) -> Any:
    """The record (or list of records) of class `cls` for the binding's dict (or list)."""
    if isinstance(values, list):
        return [wrap(cls, item) for item in values]
    for name, nested in cls.NESTED.items():
        values[name] = wrap(nested, values[name])
    return cls._wrap(values)


def records_to_frame(records: list[Any]) -> Any:
    """A pandas DataFrame of the records' dicts, or the list of dicts without pandas."""
    rows = [r.to_dict() if isinstance(r, Record) else dict(r) for r in records]
    try:
        import pandas
    except ImportError:
        return rows
    return pandas.DataFrame(rows)
