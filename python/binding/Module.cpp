// _tradewire: the compiled half of the Python package. The package's Python modules build the
// public API on these few calls; nothing here is meant to be used directly.

#include <pybind11/pybind11.h>

#include "CallbackBench.h"
#include "CaptureEvents.h"
#include "ManagerHandle.h"
#include "RecordObjects.h"

namespace py = pybind11;

PYBIND11_MODULE(_tradewire, module) {
    module.doc() = "Binding of the Tradewire library; use the tradewire package instead.";
    py::class_<CManagerHandle>(module, "Manager")
        .def(py::init<py::object>(), py::arg("deliver"))
        .def("connect", &CManagerHandle::Connect)
        .def("disconnect", &CManagerHandle::Disconnect)
        .def("release", &CManagerHandle::Release)
        .def("is_released", &CManagerHandle::IsReleased)
        .def("login", &CManagerHandle::Login)
        .def("logout", &CManagerHandle::Logout)
        .def("commit", &CManagerHandle::Commit)
        .def("request_history", &CManagerHandle::RequestHistory)
        .def("internal_no", &CManagerHandle::InternalNo)
        .def("data_center_error", &CManagerHandle::DataCenterError)
        .def("account", &CManagerHandle::Account)
        .def("instruments", &CManagerHandle::Instruments)
        .def("currencies", &CManagerHandle::Currencies)
        .def("bargains", &CManagerHandle::Bargains)
        .def("orders", &CManagerHandle::Orders)
        .def("history", &CManagerHandle::History)
        .def("group", &CManagerHandle::Group)
        .def("base_info", &CManagerHandle::BaseInfo)
        .def("broadcast", &CManagerHandle::BroadCast);
    module.def("record_fields", &pyrecords::FieldNames);
    module.def("time_quote_callbacks", &callback_bench::TimeQuoteCallbacks, py::arg("deliver"),
               py::arg("count"));
    module.def("replay", &capture_events::Replay, py::arg("capture"), py::arg("pace"));
}
