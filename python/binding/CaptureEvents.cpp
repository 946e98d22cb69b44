#include "CaptureEvents.h"

#include <string>

#include "PythonSink.h"
#include "protocol/CaptureReplay.h"

namespace py = pybind11;

namespace {

class CCollectingSink final : public CPythonSink {
  public:
    CCollectingSink(const CCaptureReplay& replay, bool pace) : m_replay(replay), m_pace(pace) {}
    ~CCollectingSink() = default;

    void SetPassMs(std::uint32_t ms) { m_passMs = ms; }
    py::list& Events() { return m_events; }

  protected:
    void Deliver(const char* name, py::object payload) override {
        const std::uint32_t ms = m_pace ? m_passMs : m_replay.LastChunkMs();
        m_events.append(py::make_tuple(name, std::move(payload), m_replay.Dispatched(), ms));
    }

  private:
    const CCaptureReplay& m_replay;
    const bool m_pace;
    std::uint32_t m_passMs = 0;
    py::list m_events;
};

}  // namespace

namespace capture_events {

py::dict Replay(const py::bytes& capture, bool pace) {
    const std::string text = capture;
    py::dict result;
    CCaptureReplay replay;
    std::string error;
    bool loaded = false;
    {
        py::gil_scoped_release noGil;
        loaded = replay.Load(text, error);
    }
    result["header"] = py::str(replay.Header());
    if (!loaded) {
        result["error"] = py::str(error);
        result["dispatched"] = 0;
        result["events"] = py::list();
        return result;
    }
    CCollectingSink sink(replay, pace);
    {
        py::gil_scoped_release noGil;
        replay.Run(sink, pace, [&sink](std::uint32_t ms) { sink.SetPassMs(ms); });
    }
    result["error"] = py::none();
    result["dispatched"] = replay.Dispatched();
    result["events"] = sink.Events();
    return result;
}

}  // namespace capture_events
