"""Live sessions against the simulator: the example, logins, every order helper, the stores and
the event stream."""

from __future__ import annotations

import asyncio
import os
import pathlib
import subprocess
import sys

import pytest

import tradewire

EXAMPLES = pathlib.Path(os.environ.get("TRADEWIRE_EXAMPLES", ""))


@pytest.fixture()
def conn(sim):
    with tradewire.Connection("127.0.0.1", sim.port, pin=sim.pin) as connection:
        connection.login("demo", "demo")
        yield connection


def test_quickstart_prints_balance_quotes_deal_profit_and_logout(sim):
    result = subprocess.run(
        [sys.executable, str(EXAMPLES / "quickstart.py"), "127.0.0.1", str(sim.port), "--pin",
         sim.pin], capture_output=True, text=True, timeout=60, check=True)
    lines = result.stdout.splitlines()
    assert lines[0].startswith("balance: ")
    assert len([line for line in lines if " bid " in line and " ask " in line]) == 3
    assert any(line.startswith("bought: position ") for line in lines)
    assert any(", profit " in line for line in lines)
    assert lines[-2].startswith("balance: ")
    assert lines[-1].startswith("Logged out: demo")


def test_quickstart_stays_short():
    assert len((EXAMPLES / "quickstart.py").read_text().splitlines()) <= 30


def test_login_refusal_carries_the_server_code(sim):
    with tradewire.Connection("127.0.0.1", sim.port) as connection:
        with pytest.raises(tradewire.LoginRefused) as refused:
            connection.login("demo", "wrong")
    assert refused.value.code == 101


def test_connect_failure_names_the_library_code(sim):
    with pytest.raises(tradewire.ConnectError) as failed:
        tradewire.Connection("127.0.0.1", sim.port, pin="0" * 64).connect()
    assert (failed.value.code, failed.value.name) == (7, "EC_CertificateRejected")
    with pytest.raises(tradewire.ConnectError) as invalid:
        tradewire.Connection("127.0.0.1", 0).connect()
    assert invalid.value.name == "EC_InvalidServer"
    assert "TRADEWIRE_PIN_SHA256" not in os.environ


def test_requests_after_close_fail_instead_of_crashing(sim):
    connection = tradewire.connect("127.0.0.1", sim.port)
    connection.close()
    connection.close()
    assert connection.account is None and connection.positions == []
    with pytest.raises(tradewire.RequestFailed):
        connection.login("demo", "demo")


def test_market_orders_open_close_in_part_and_whole(conn):
    balance = conn.balance
    deal = conn.buy("EURUSD", 0.3)
    assert (deal.symbol, deal.side, deal.lots) == ("EURUSD", "buy", pytest.approx(0.3))
    assert deal.BargainNo in [p.BargainNo for p in conn.positions]
    part = conn.close_position(deal, 0.1)
    assert part.closing and part.lots == pytest.approx(0.1)
    held = next(p for p in conn.positions if p.BargainNo == deal.BargainNo)
    assert held.lots == pytest.approx(0.2)
    conn.close_position(deal.BargainNo)
    assert deal.BargainNo not in [p.BargainNo for p in conn.positions]
    assert conn.balance != balance
    short = conn.sell("GBPUSD", 0.1)
    assert short.side == "sell"
    conn.close_position(short)


def test_refusals_raise_with_the_server_reason(conn):
    with pytest.raises(tradewire.OrderRefused) as refused:
        conn.buy("EURUSD", 500)
    assert refused.value.event == "OnOpenRefused"
    assert refused.value.reason
    with pytest.raises(tradewire.OrderRefused):
        conn.buy("NOSUCH", 0.1)


def test_triggers_and_the_four_pending_kinds(conn):
    quote = conn.quotes["EURUSD"]
    deal = conn.buy("EURUSD", 0.1)
    moved = conn.set_triggers(deal, stop_loss=round(quote.Bid - 0.01, 4),
                              take_profit=round(quote.Ask + 0.01, 4))
    assert moved.kind_name == "set_triggers"
    below, above = round(quote.Bid * 0.95, 4), round(quote.Ask * 1.05, 4)
    placed = [conn.buy_limit("EURUSD", 0.1, below), conn.sell_limit("EURUSD", 0.1, above),
              conn.buy_stop("EURUSD", 0.1, above), conn.sell_stop("EURUSD", 0.1, below)]
    assert [o.kind_name for o in placed] == ["buy_limit", "sell_limit", "buy_stop", "sell_stop"]
    assert {o.OrderNo for o in placed} <= {o.OrderNo for o in conn.orders}
    changed = conn.change_order(placed[0], round(quote.Bid * 0.94, 4))
    assert changed.OrderNo == placed[0].OrderNo
    for order in placed:
        conn.delete_order(order.OrderNo)
    assert not {o.OrderNo for o in placed} & {o.OrderNo for o in conn.orders}
    with pytest.raises(tradewire.OrderRefused):
        conn.buy_limit("EURUSD", 0.1, above)  # a buy limit above the market
    conn.close_position(deal)


def test_stores_read_as_records(conn):
    assert conn.account.AccountCode == "demo"
    assert [m.symbol for m in conn.instruments][:1] == ["EURUSD"]
    assert any(c.code == "USD" for c in conn.currencies)
    assert conn.instrument("EURUSD").price_unit > 0
    with pytest.raises(KeyError):
        conn.instrument("NOSUCH")
    assert conn.group is not None and conn.base_info is not None


def test_event_stream_follows_the_library_order(sim):
    with tradewire.Connection("127.0.0.1", sim.port) as connection:
        connection.login("demo", "demo")
        names = []
        for event in connection.events(timeout=5):
            names.append(event.name)
            if event.name == "OnRealtimePrice":
                break
    assert names[:3] == ["OnLoginReply", "OnForexMerchs", "OnAccountInfo"]
    assert names[-1] == "OnRealtimePrice"


def test_async_twins_and_async_iterator(sim):
    async def session():
        connection = tradewire.Connection("127.0.0.1", sim.port)
        await connection.connect_async()
        try:
            account = await connection.login_async("demo", "demo")
            async for event in connection.events_async(timeout=5):
                if event.name == "OnRealtimePrice":
                    break
            deal = await connection.buy_async("EURUSD", 0.1)
            await connection.close_position_async(deal)
            with pytest.raises(RuntimeError, match="login_async"):
                connection.login("demo", "demo")
            return account, event
        finally:
            connection.close()

    account, event = asyncio.run(session())
    assert account.AccountCode == "demo"
    assert event.data.RealtimePrice.Bid > 0


def test_history_request_returns_the_closed_deals(conn):
    import datetime
    deal = conn.buy("EURUSD", 0.1)
    conn.close_position(deal)
    now = datetime.datetime.now(datetime.timezone.utc)
    history = conn.request_history(now - datetime.timedelta(days=1),
                                   now + datetime.timedelta(days=1))
    assert any(h.position_no == deal.BargainNo or h.open_position_no == deal.BargainNo
               for h in history)
