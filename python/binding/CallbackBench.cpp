#include "CallbackBench.h"

#include <chrono>
#include <thread>

#include "PythonSink.h"

namespace py = pybind11;

namespace {

class CBenchSink final : public CPythonSink {
  public:
    explicit CBenchSink(py::object deliver) : m_deliver(std::move(deliver)) {}
    ~CBenchSink() = default;

  protected:
    void Deliver(const char* name, py::object payload) override {
        m_deliver(name, std::move(payload));
    }

  private:
    py::object m_deliver;
};

// An instrument as the simulator sends it, with a quote: the usual payload of a busy session.
CForexMerch SampleInstrument() {
    CForexMerch merch;
    merch.MerchCode = L"EURUSD";
    merch.MerchNo = 1;
    merch.MerchName = L"Euro / US Dollar";
    merch.PriceUnit = 0.0001f;
    merch.MinSpread = 2;
    merch.RealtimePrice.MerchCode = L"EURUSD";
    merch.RealtimePrice.Bid = 1.0850f;
    merch.RealtimePrice.Ask = 1.0852f;
    merch.RealtimePrice.QuoteStamp = L"1765400000000000";
    return merch;
}

}  // namespace

namespace callback_bench {

double TimeQuoteCallbacks(py::object deliver, int count) {
    CBenchSink sink(std::move(deliver));
    const CForexMerch merch = SampleInstrument();
    std::chrono::steady_clock::duration took{};
    {
        py::gil_scoped_release noGil;
        std::thread processing([&] {
            const auto start = std::chrono::steady_clock::now();
            for (int i = 0; i < count; ++i) {
                sink.OnRealtimePrice(merch);
            }
            took = std::chrono::steady_clock::now() - start;
        });
        processing.join();
    }
    return std::chrono::duration<double>(took).count();
}

}  // namespace callback_bench
