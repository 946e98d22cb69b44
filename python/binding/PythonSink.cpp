#include "PythonSink.h"

#include <exception>

#include "RecordObjects.h"

namespace py = pybind11;

template <class MakePayload>
void CPythonSink::Send(const char* name, const MakePayload& makePayload) {
    // A thread that asks for the GIL while the interpreter finalizes never gets it back, and the
    // library would then wait forever to join it: such a callback is dropped instead.
    if (!m_open.load() || _Py_IsFinalizing()) {
        return;
    }
    py::gil_scoped_acquire gil;
    if (!m_open.load()) {
        return;
    }
    try {
        Deliver(name, makePayload());
    } catch (py::error_already_set& error) {
        error.discard_as_unraisable(name);
    } catch (const std::exception& error) {
        PyErr_SetString(PyExc_RuntimeError, error.what());
        PyErr_WriteUnraisable(py::str(name).ptr());
    }
}

namespace {

py::object None() {
    return py::none();
}

}  // namespace

void CPythonSink::OnErrorCode(int code) {
    Send("OnErrorCode", [code] { return py::dict(py::arg("code") = code); });
}
void CPythonSink::OnTextMessage(const CString& text) {
    Send("OnTextMessage", [&text] { return py::dict(py::arg("text") = pyrecords::Text(text)); });
}
void CPythonSink::OnLoginReply() {
    Send("OnLoginReply", None);
}
void CPythonSink::OnSpareA() {
    Send("OnSpareA", None);
}
void CPythonSink::OnAccountInfo(CAccountInfo& account) {
    Send("OnAccountInfo", [&account] { return pyrecords::ToDict(account); });
}
void CPythonSink::OnCurrencysInfo(CArray<CCurrency, CCurrency&>& currencys) {
    Send("OnCurrencysInfo", [&currencys] { return pyrecords::ToList(currencys); });
}
void CPythonSink::OnForexMerchs(CArray<CForexMerch, CForexMerch&>& merchs) {
    Send("OnForexMerchs", [&merchs] { return pyrecords::ToList(merchs); });
}
void CPythonSink::OnBargainsInfo(CArray<CBargain, CBargain&>& bargains) {
    Send("OnBargainsInfo", [&bargains] { return pyrecords::ToList(bargains); });
}
void CPythonSink::OnOrdersInfo(CArray<COrderInfo, COrderInfo&>& orders) {
    Send("OnOrdersInfo", [&orders] { return pyrecords::ToList(orders); });
}
void CPythonSink::OnHistoryOrderInfo(CArray<CHistoryOrderInfo, CHistoryOrderInfo&>& history) {
    Send("OnHistoryOrderInfo", [&history] { return pyrecords::ToList(history); });
}
void CPythonSink::OnGroupInfo(CGroup& group) {
    Send("OnGroupInfo", [&group] { return pyrecords::ToDict(group); });
}
void CPythonSink::OnBaseInfo(CBaseInfo& baseInfo) {
    Send("OnBaseInfo", [&baseInfo] { return pyrecords::ToDict(baseInfo); });
}
void CPythonSink::OnBroadCast(CBroadCast& broadCast) {
    Send("OnBroadCast", [&broadCast] { return pyrecords::ToDict(broadCast); });
}
void CPythonSink::OnRealtimePrice(const CForexMerch& merch) {
    Send("OnRealtimePrice", [&merch] { return pyrecords::ToDict(merch); });
}
void CPythonSink::OnSocketError(unsigned long error) {
    Send("OnSocketError", [error] { return py::dict(py::arg("error") = error); });
}
void CPythonSink::OnBargainOpened(const CBargain& bargain) {
    Send("OnBargainOpened", [&bargain] { return pyrecords::ToDict(bargain); });
}
void CPythonSink::OnOpenRefused(const COrderInfo& reply) {
    Send("OnOpenRefused", [&reply] { return pyrecords::ToDict(reply); });
}
void CPythonSink::OnBargainClosed(const CBargain& closingDeal) {
    Send("OnBargainClosed", [&closingDeal] { return pyrecords::ToDict(closingDeal); });
}
void CPythonSink::OnCloseRefused(const COrderInfo& reply) {
    Send("OnCloseRefused", [&reply] { return pyrecords::ToDict(reply); });
}
void CPythonSink::OnOrderAdded(const COrderInfo& order) {
    Send("OnOrderAdded", [&order] { return pyrecords::ToDict(order); });
}
void CPythonSink::OnOrderRefused(const COrderInfo& reply) {
    Send("OnOrderRefused", [&reply] { return pyrecords::ToDict(reply); });
}
void CPythonSink::OnOrderChanged(const COrderInfo& order) {
    Send("OnOrderChanged", [&order] { return pyrecords::ToDict(order); });
}
void CPythonSink::OnChangeRefused(const COrderInfo& reply) {
    Send("OnChangeRefused", [&reply] { return pyrecords::ToDict(reply); });
}
void CPythonSink::OnOrderDeleted(const COrderInfo& order) {
    Send("OnOrderDeleted", [&order] { return pyrecords::ToDict(order); });
}
void CPythonSink::OnDeleteRefused(const COrderInfo& reply) {
    Send("OnDeleteRefused", [&reply] { return pyrecords::ToDict(reply); });
}
void CPythonSink::OnSpareB() {
    Send("OnSpareB", None);
}
