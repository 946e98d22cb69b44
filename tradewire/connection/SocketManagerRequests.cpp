#include "connection/SocketManager.h"

// None of the requests looks at the connected flag: a frame queued while disconnected leaves
// after the next successful ConnectServer.

bool CSocketManager::ReqLogin(const CString& user, const CString& password) {
    if (m_pProtocol == nullptr || user.IsEmpty() || password.IsEmpty()) {
        return false;
    }
    CFrameSpan passwordBytes;
    const std::string frame = m_pProtocol->BuildLogin(user, password, &passwordBytes);
    AddSendData(frame, passwordBytes);
    return true;
}

bool CSocketManager::ReqLogOut(const CString& user, const CString& /*unused*/) {
    if (m_pProtocol == nullptr || user.IsEmpty()) {
        return false;
    }
    AddSendData(m_pProtocol->BuildLogout(user));
    return true;
}

bool CSocketManager::CommitBill(const COrderInfo& order) {
    if (m_pProtocol == nullptr) {
        return false;
    }
    m_capture.Committed(order);
    AddSendData(m_pProtocol->BuildCommitBill(order));
    return true;
}

bool CSocketManager::ReqHistoryOrderInfo(long from, long to) {
    if (m_pProtocol == nullptr) {
        return false;
    }
    AddSendData(m_pProtocol->BuildHistoryRequest(from, to));
    return true;
}
