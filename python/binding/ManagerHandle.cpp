#include "ManagerHandle.h"

#include <mutex>

#include "PythonSink.h"
#include "RecordObjects.h"

namespace py = pybind11;

namespace {

CString Wide(const std::string& utf8) {
    return pyrecords::TextOf(py::str(utf8));
}

}  // namespace

class CManagerHandle::CCallableSink final : public CPythonSink {
  public:
    explicit CCallableSink(py::object deliver) : m_deliver(std::move(deliver)) {}
    ~CCallableSink() = default;

    // GIL held. After this no callback reaches the callable, which is dropped.
    void Forget() {
        Close();
        m_deliver = py::object();
    }

  protected:
    void Deliver(const char* name, py::object payload) override {
        if (m_deliver) {
            m_deliver(name, std::move(payload));
        }
    }

  private:
    py::object m_deliver;
};

CManagerHandle::CManagerHandle(py::object deliver)
    : m_manager(GetAbsTradewire()), m_sink(std::make_unique<CCallableSink>(std::move(deliver))) {
    if (m_manager == nullptr) {
        throw std::bad_alloc();
    }
    m_manager->SetNotify(m_sink.get());
}

CManagerHandle::~CManagerHandle() {
    Release();
}

bool CManagerHandle::Connect(const std::string& address, std::uint32_t port) {
    CServer server;
    server.Address = Wide(address);
    server.Port = port;
    py::gil_scoped_release noGil;
    std::unique_lock life(m_life);
    return m_manager != nullptr && m_manager->ConnectServer(server);
}

void CManagerHandle::Disconnect() {
    py::gil_scoped_release noGil;
    std::unique_lock life(m_life);
    if (m_manager != nullptr) {
        m_manager->DisConnect();
    }
}

void CManagerHandle::Release() {
    {
        py::gil_scoped_release noGil;
        std::unique_lock life(m_life);
        if (m_manager == nullptr) {
            return;
        }
        // Callbacks stop before the threads are joined, so a backlog is not delivered to a
        // Python side that is going away.
        m_sink->Close();
        m_manager->DisConnect();
        m_manager->UnSetNotify();
        m_manager->ReleaseObj();
        m_manager = nullptr;
    }
    m_sink->Forget();
}

bool CManagerHandle::IsReleased() {
    py::gil_scoped_release noGil;
    std::shared_lock life(m_life);
    return m_manager == nullptr;
}

bool CManagerHandle::Login(const std::string& user, const std::string& password) {
    const CString wideUser = Wide(user);
    const CString widePassword = Wide(password);
    py::gil_scoped_release noGil;
    std::shared_lock life(m_life);
    return m_manager != nullptr && m_manager->ReqLogin(wideUser, widePassword);
}

bool CManagerHandle::Logout(const std::string& user) {
    const CString wideUser = Wide(user);
    py::gil_scoped_release noGil;
    std::shared_lock life(m_life);
    return m_manager != nullptr && m_manager->ReqLogOut(wideUser, CString());
}

bool CManagerHandle::Commit(const py::dict& fields) {
    const COrderInfo order = pyrecords::OrderFromDict(fields);
    py::gil_scoped_release noGil;
    std::shared_lock life(m_life);
    return m_manager != nullptr && m_manager->CommitBill(order);
}

bool CManagerHandle::RequestHistory(long from, long to) {
    py::gil_scoped_release noGil;
    std::shared_lock life(m_life);
    return m_manager != nullptr && m_manager->ReqHistoryOrderInfo(from, to);
}

int CManagerHandle::InternalNo() {
    py::gil_scoped_release noGil;
    std::shared_lock life(m_life);
    CForexDataCenter* center = m_manager == nullptr ? nullptr : m_manager->GetDataCenter();
    return center == nullptr ? -1 : center->GetInternalNo();
}

int CManagerHandle::DataCenterError() {
    py::gil_scoped_release noGil;
    std::shared_lock life(m_life);
    CForexDataCenter* center = m_manager == nullptr ? nullptr : m_manager->GetDataCenter();
    return center == nullptr ? 0 : static_cast<int>(center->GetErrorCode());
}

template <class Store>
py::object CManagerHandle::Read(void (CForexDataCenter::*get)(Store&)) {
    Store store;
    {
        py::gil_scoped_release noGil;
        std::shared_lock life(m_life);
        CForexDataCenter* center = m_manager == nullptr ? nullptr : m_manager->GetDataCenter();
        if (center == nullptr) {
            return py::none();
        }
        (center->*get)(store);
    }
    if constexpr (requires { store.GetSize(); }) {
        return pyrecords::ToList(store);
    } else {
        return pyrecords::ToDict(store);
    }
}

py::object CManagerHandle::Account() {
    return Read(&CForexDataCenter::GetAccountInfo);
}
py::object CManagerHandle::Instruments() {
    return Read(&CForexDataCenter::GetForexMerchs);
}
py::object CManagerHandle::Currencies() {
    return Read(&CForexDataCenter::GetCurrencysInfo);
}
py::object CManagerHandle::Bargains() {
    return Read(&CForexDataCenter::GetBargainsInfo);
}
py::object CManagerHandle::Orders() {
    return Read(&CForexDataCenter::GetOrdersInfo);
}
py::object CManagerHandle::History() {
    return Read(&CForexDataCenter::GetHistoryOrderInfo);
}
py::object CManagerHandle::Group() {
    return Read(&CForexDataCenter::GetGroupInfo);
}
py::object CManagerHandle::BaseInfo() {
    return Read(&CForexDataCenter::GetBaseInfo);
}
py::object CManagerHandle::BroadCast() {
    return Read(&CForexDataCenter::GetBroadCast);
}
