"""Records as Python objects, the event queue's bound and the type stubs."""

from __future__ import annotations

import ast
import os
import pathlib
import threading

import pytest

import tradewire
from tradewire import _tradewire, records

PACKAGE = pathlib.Path(tradewire.__file__).parent


def test_every_cpp_field_is_an_attribute_and_in_to_dict():
    for name, fields in _tradewire.record_fields().items():
        cls = records.RECORD_CLASSES[name]
        assert list(cls.FIELDS) == fields
        for field in fields:
            assert isinstance(getattr(cls, field), property), (name, field)


def test_aliases_read_their_fields_and_convert_units():
    order = records.COrderInfo(MerchCode="EURUSD", Value10=41, Value11=25, OrderKind=64,
                               Value28="no money")
    assert (order.symbol, order.side, order.lots) == ("EURUSD", "sell", 0.25)
    assert (order.kind_name, order.reason) == ("buy_limit", "no money")
    quote = records.CForexRealtimePrice(MerchCode="EURUSD", Bid=1.085, Ask=1.0852)
    merch = records.wrap(records.CForexMerch, {"MerchCode": "EURUSD", "RealtimePrice":
                                               quote.to_dict()})
    assert merch.bid == 1.085 and merch.quote == quote
    assert all(isinstance(doc, str) for table in tradewire.ALIASES.values()
               for doc in table.values())


def test_records_compare_by_value_and_print_useful_fields_first():
    a = records.CBargain(MerchCode="EURUSD", BargainNo=7, Lots=0.1)
    assert a == records.CBargain(MerchCode="EURUSD", BargainNo=7, Lots=0.1)
    assert a != records.CBargain(MerchCode="EURUSD", BargainNo=8, Lots=0.1)
    assert repr(a).startswith("CBargain(MerchCode='EURUSD', BargainNo=7")
    with pytest.raises(TypeError):
        records.CBargain(NoSuchField=1)


def test_to_dict_nests_records_as_dicts():
    values = {"AccountCode": "demo", "Funds": [{"Balance": 5.0}], "Merchs": []}
    account = records.wrap(records.CAccountInfo, values)
    assert account.balance == 5.0
    assert account.to_dict()["Funds"] == [{name: (5.0 if name == "Balance" else None)
                                           for name in records.CFundInfo.FIELDS}]


def test_an_order_with_an_unknown_field_is_refused_by_the_binding():
    manager = _tradewire.Manager(lambda name, payload: None)
    try:
        with pytest.raises(ValueError):
            manager.commit({"NoSuchField": 1})
        with pytest.raises(TypeError):
            manager.commit({"InternalNo": "seven"})
    finally:
        manager.release()


def test_queue_overflow_shows_an_events_dropped_marker():
    queue = tradewire.EventQueue(3)
    for number in range(10):
        queue.put(tradewire.Event("OnSpareA", number))
    assert [queue.get(0).data for _ in range(3)] == [0, 1, 2]
    queue.put(tradewire.Event("OnSpareA", 10))
    marker = queue.get(0)
    assert isinstance(marker, tradewire.EventsDropped)
    assert (marker.name, marker.count) == (tradewire.EVENTS_DROPPED, 7)
    assert queue.get(0).data == 10
    queue.put(tradewire.Event("OnSpareA", 11))
    queue.put(tradewire.Event("OnSpareA", 12))
    queue.put(tradewire.Event("OnSpareA", 13))
    queue.put(tradewire.Event("OnSpareA", 14))
    queue.close()
    assert [e.name for e in queue.iterate(0)][-1] == tradewire.EVENTS_DROPPED


def test_queue_get_wakes_on_put_from_another_thread_and_on_close():
    queue = tradewire.EventQueue()
    threading.Timer(0.05, lambda: queue.put(tradewire.Event("OnSpareB", None))).start()
    assert queue.get(5).name == "OnSpareB"
    threading.Timer(0.05, queue.close).start()
    assert queue.get(5) is None


def test_stubs_name_every_field_and_alias():
    stub = ast.parse((PACKAGE / "records.pyi").read_text())
    declared = {node.name: {item.target.id for item in node.body
                            if isinstance(item, ast.AnnAssign)} |
                {item.name for item in node.body if isinstance(item, ast.FunctionDef)}
                for node in stub.body if isinstance(node, ast.ClassDef)}
    for name, cls in records.RECORD_CLASSES.items():
        assert set(cls.FIELDS) | set(tradewire.ALIASES[name]) <= declared[name], name
    assert (PACKAGE / "py.typed").exists()
    assert (PACKAGE / "_tradewire.pyi").read_text().strip()
