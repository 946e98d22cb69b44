#include "PythonSink.h"

#include <exception>

namespace py = pybind11;

void CPythonSink::Send(const char* name, const std::function<py::object()>& makePayload) {
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
