"""Type stubs of the record classes (records.py builds them from the binding's field lists)."""

from typing import Any, ClassVar

ALIASES: dict[str, dict[str, str]]
RECORD_CLASSES: dict[str, type]

class Record:
    CPP_NAME: ClassVar[str]
    FIELDS: ClassVar[tuple[str, ...]]
    REPR_FIRST: ClassVar[tuple[str, ...]]
    def __init__(self, values: dict[str, Any] | None = ..., **fields: Any) -> None: ...
    def to_dict(self) -> dict[str, Any]: ...

class CForexRealtimePrice(Record):
    MerchCode: str
    Bid: float
    Ask: float
    Price3: float
    Price4: float
    QuoteStamp: str
    @property
    def symbol(self) -> str: ...
    @property
    def bid(self) -> float: ...
    @property
    def ask(self) -> float: ...
    @property
    def stamp(self) -> str: ...

class CForexMerch(Record):
    MerchCode: str
    MerchNo: int
    MerchName: str
    Value4: int
    Value5: int
    Value6: int
    ProfitFactor: float
    Value8: float
    Value9: float
    Value10: float
    Value11: float
    Value12: float
    Value13: float
    Value14: float
    MinSpread: float
    Value16: float
    Value17: int
    PriceUnit: float
    ProfitDivisor: float
    Value20: float
    Value21: int
    FirstBid: float
    FirstAsk: float
    FirstPrice3: float
    FirstPrice4: float
    Value26: float
    Value27: float
    Value28: float
    Value29: str
    Value30: float
    Value31: float
    Value32: str
    Value33: int
    Value34: float
    Value35: int
    Value36: int
    Value37: list[float]
    Value38: float
    Value39: float
    Value40: int
    Value41: str
    Value42: float
    Value43: float
    Value44: float
    Value45: float
    Value46: list[float]
    Value47: int
    Value48: int
    Value49: int
    Value50: int
    Value51: int
    Value52: int
    Value53: float
    Value54: float
    Value55: float
    Value56: float
    Value57: float
    Value58: float
    Value59: float
    Value60: float
    RealtimePrice: CForexRealtimePrice
    @property
    def symbol(self) -> str: ...
    @property
    def name(self) -> str: ...
    @property
    def price_unit(self) -> float: ...
    @property
    def min_spread(self) -> float: ...
    @property
    def quote(self) -> CForexRealtimePrice: ...
    @property
    def bid(self) -> float: ...
    @property
    def ask(self) -> float: ...

class COrderInfo(Record):
    AccountCode: str
    MerchCode: str
    Value3: str
    InternalNo: int
    Value5: str
    OrderNo: int
    BargainNo: int
    OrderKind: int
    Value9: str
    Value10: int
    Value11: int
    Value12: int
    CloseFlag: int
    Value14: float
    Value15: float
    Value16: float
    TriggerPrice1: float
    TriggerPrice2: float
    Value19: float
    Value20: float
    Value21: float
    Value22: float
    Value23: float
    Value24: float
    Value25: float
    Value26: float
    Value27: float
    Value28: str
    Value29: float
    Value30: float
    Value31: float
    @property
    def symbol(self) -> str: ...
    @property
    def account(self) -> str: ...
    @property
    def internal_no(self) -> int: ...
    @property
    def order_no(self) -> int: ...
    @property
    def position_no(self) -> int: ...
    @property
    def kind(self) -> int: ...
    @property
    def kind_name(self) -> str | None: ...
    @property
    def side(self) -> str | None: ...
    @property
    def lots(self) -> float: ...
    @property
    def price(self) -> float: ...
    @property
    def stop_loss(self) -> float: ...
    @property
    def take_profit(self) -> float: ...
    @property
    def reason(self) -> str: ...

class CBargain(Record):
    Value1: str
    MerchCode: str
    Value3: str
    Value4: str
    BargainNo: int
    OpenBargainNo: int
    InternalNo: int
    Value8: str
    Value9: str
    Direction: int
    CloseFlag: int
    Lots: float
    Price: float
    TriggerPrice1: float
    TriggerPrice2: float
    Value16: float
    Charge: float
    Credit: float
    Value19: float
    Value20: float
    Value21: float
    @property
    def symbol(self) -> str: ...
    @property
    def position_no(self) -> int: ...
    @property
    def open_position_no(self) -> int: ...
    @property
    def internal_no(self) -> int: ...
    @property
    def side(self) -> str | None: ...
    @property
    def closing(self) -> bool: ...
    @property
    def lots(self) -> float: ...
    @property
    def price(self) -> float: ...
    @property
    def stop_loss(self) -> float: ...
    @property
    def take_profit(self) -> float: ...
    @property
    def charge(self) -> float: ...
    @property
    def credit(self) -> float: ...

class CHistoryOrderInfo(Record):
    Value1: str
    Value2: str
    MerchCode: str
    Lots: float
    Value5: str
    Value6: str
    OpenBargainNo: int
    OpenInternalNo: int
    Value9: str
    Value10: str
    Direction: int
    OpenPrice: float
    OpenTriggerPrice2: float
    OpenTriggerPrice1: float
    Value15: str
    Value16: str
    BargainNo: int
    InternalNo: int
    Value19: str
    Value20: str
    ClosePrice: float
    Profit: float
    Value23: float
    Credit: float
    Charge: float
    Value26: float
    @property
    def symbol(self) -> str: ...
    @property
    def lots(self) -> float: ...
    @property
    def side(self) -> str | None: ...
    @property
    def open_price(self) -> float: ...
    @property
    def close_price(self) -> float: ...
    @property
    def profit(self) -> float: ...
    @property
    def position_no(self) -> int: ...
    @property
    def open_position_no(self) -> int: ...

class CCurrency(Record):
    CurrencyCode: str
    Value2: str
    Value3: str
    Value4: float
    UsdRate: float
    Value6: int
    Value7: float
    Value8: float
    @property
    def code(self) -> str: ...
    @property
    def usd_rate(self) -> float: ...

class CBroadCast(Record):
    Value1: int
    Value2: float
    Value3: float
    Value4: str
    Value5: str
    Value6: str
    Value7: str
    Value8: str

class CGroup(Record):
    Value1: str
    Value2: int
    Value3: str
    Value4: str
    Value5: int
    Value6: float
    Value7: int
    Value8: list[float]

class CBaseInfo(Record):
    Value1: str
    Value2: list[str]
    Value3: str
    Value4: list[str]
    Value5: float
    Value6: float
    Value7: float
    Value8: float
    Value9: str
    Value10: int
    Value11: float
    BaseRateSwitch: float
    Value13: float
    Value14: float
    Value15: float
    Value16: float
    Value17: float
    Value18: float
    Value19: float
    Value20: int
    Value21: str
    Value22: float
    Value23: float
    Value24: float
    Value25: float
    Value26: float
    Value27: float
    Value28: float
    Value29: float
    Value30: float
    Value31: float
    Value32: float

class CFundInfo(Record):
    Balance: float
    Value2: float
    Value3: float
    Value4: float
    Value5: float
    Value6: float
    Value7: float
    Value8: float
    Value9: float
    Value10: float
    Value11: float
    Value12: float
    Value13: float
    Value14: str
    @property
    def balance(self) -> float | None: ...

class CAccountInfo(Record):
    AccountCode: str
    Value2: str
    Value3: str
    Value4: str
    Value5: str
    Value6: str
    Value7: str
    Value8: str
    Value9: str
    Value10: str
    Value11: str
    Value12: int
    Value13: int
    Value14: int
    Value15: int
    Value16: str
    Value17: int
    Value18: float
    Value19: float
    Value20: int
    Value21: int
    Value22: float
    Value23: int
    Value24: str
    Value25: str
    Value26: str
    Value27: str
    Value28: str
    Value29: str
    Value30: str
    Value31: str
    Value32: str
    Value33: str
    Value34: str
    Value35: int
    Value36: int
    Value37: int
    Value38: float
    Value39: float
    Value40: str
    Value41: str
    Value42: float
    Value43: int
    Value44: float
    Funds: list[CFundInfo]
    Merchs: list[CForexMerch]
    InternalNo: int
    @property
    def account(self) -> str: ...
    @property
    def funds(self) -> list[CFundInfo]: ...
    @property
    def instruments(self) -> list[CForexMerch]: ...
    @property
    def balance(self) -> float | None: ...

def wrap(cls: type, values: Any) -> Any: ...
def records_to_frame(records: list[Any]) -> Any: ...
