#pragma once
// The Python module's `Manager`: owns one connection object from GetAbsTradewire and the sink
// that turns its callbacks into calls of a Python callable, deliver(name, payload).
//
// Threads and the GIL: any Python thread may call any operation. Every call into the library
// runs with the GIL released, because a callback on the processing thread may be waiting for
// the GIL while it holds a data-center lock or while DisConnect joins it. Connect, Disconnect
// and Release take the life lock exclusively (the library wants ConnectServer and DisConnect
// serialised, and nothing may use the object while it is freed); requests and getters take it
// shared. After Release every request returns false and every getter None.
//
// Ownership: the handle owns the connection object and the sink; the sink holds the callable
// until Release, which drops it so that no reference cycle outlives the connection.

#include <pybind11/pybind11.h>
#include <tradewire/Tradewire.h>

#include <cstdint>
#include <memory>
#include <shared_mutex>
#include <string>

class CManagerHandle {
  public:
    explicit CManagerHandle(pybind11::object deliver);
    ~CManagerHandle();
    CManagerHandle(const CManagerHandle&) = delete;
    CManagerHandle& operator=(const CManagerHandle&) = delete;

    bool Connect(const std::string& address, std::uint32_t port);
    void Disconnect();
    // Disconnects, stops the callbacks and frees the connection object. Idempotent.
    void Release();
    bool IsReleased();

    bool Login(const std::string& user, const std::string& password);
    bool Logout(const std::string& user);
    bool Commit(const pybind11::dict& order);
    bool RequestHistory(long from, long to);
    // The next internal number, or -1 after Release.
    int InternalNo();
    int DataCenterError();

    pybind11::object Account();
    pybind11::object Instruments();
    pybind11::object Currencies();
    pybind11::object Bargains();
    pybind11::object Orders();
    pybind11::object History();
    pybind11::object Group();
    pybind11::object BaseInfo();
    pybind11::object BroadCast();

  private:
    class CCallableSink;

    // A store copied out with the GIL released, then converted with it held; None after Release.
    template <class Store>
    pybind11::object Read(void (CForexDataCenter::*get)(Store&));

    std::shared_mutex m_life;  // guards m_manager's life (see above)
    CAbsForexManager* m_manager = nullptr;
    std::unique_ptr<CCallableSink> m_sink;
};
