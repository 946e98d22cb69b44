"""The wire's numbers, in one place: message codes, order kinds, sides and the scales of an
order request. Everything else in the package names them from here."""

# Inbound message codes (what a capture's dispatch records name).
LOGIN_REPLY = 8000
ORDER_EVENT = 7002
DEAL_EVENT = 7003
REFUSAL_EVENT = 7004
REMOVAL_EVENT = 7005
TEXT_NOTICE = 9002
ACCOUNT_INFO = 9501
CURRENCY_LIST = 9505
INSTRUMENT_LIST = 9511
BARGAIN_LIST = 9512
ORDER_LIST = 9513
HISTORY_LIST = 9514
GROUP_INFO = 9515
BASE_INFO = 9516
QUOTES = 9518
BROADCAST = 9524
ERROR_REPORT = 9999

# Order kinds of a request (COrderInfo.OrderKind), and the kind of a refusal.
OPEN_MARKET = 60
CLOSE_MARKET = 62
SET_TRIGGERS = 63
BUY_LIMIT = 64
SELL_LIMIT = 65
BUY_STOP = 66
SELL_STOP = 67
CHANGE_ORDER = 68
DELETE_ORDER = 69
REFUSAL = 72

ORDER_KIND_NAMES = {
    OPEN_MARKET: "open",
    CLOSE_MARKET: "close",
    SET_TRIGGERS: "set_triggers",
    BUY_LIMIT: "buy_limit",
    SELL_LIMIT: "sell_limit",
    BUY_STOP: "buy_stop",
    SELL_STOP: "sell_stop",
    CHANGE_ORDER: "change",
    DELETE_ORDER: "delete",
    REFUSAL: "refusal",
}
PENDING_KINDS = {"buy_limit": BUY_LIMIT, "sell_limit": SELL_LIMIT, "buy_stop": BUY_STOP,
                 "sell_stop": SELL_STOP}

# Sides: COrderInfo.Value10 in a request, CBargain.Direction in a deal.
BUY = 40
SELL = 41
NO_SIDE = -1  # sent as an empty field
SIDE_NAMES = {BUY: "buy", SELL: "sell"}


def opposite_side(side: int) -> int:
    return SELL if side == BUY else BUY


def side_of_pending_kind(kind: int) -> int:
    return BUY if kind in (BUY_LIMIT, BUY_STOP) else SELL


# A request's floating fields travel without decimals, so lots go as hundredths (Value11) and
# prices as whole numbers of the instrument's PriceUnit (Value14, TriggerPrice1/2).
LOTS_SCALE = 100


def lots_to_wire(lots: float) -> int:
    return int(round(lots * LOTS_SCALE))


def price_to_wire(price: float | None, price_unit: float) -> float:
    if price is None or price <= 0 or price_unit <= 0:
        return 0.0
    return float(round(price / price_unit))


# The library's error numbers (E_ErrorCode) and their names.
ERROR_NAMES = {
    0: "EC_NoError",
    1: "EC_NotInitialized",
    2: "EC_SslObjectFailed",
    3: "EC_InvalidServer",
    5: "EC_ConnectFailed",
    6: "EC_ThreadFailed",
    7: "EC_CertificateRejected",
}
