#include "connection/SocketManager.h"

#include <new>

#include "datacenter/NotifySink.h"
#include "platform/CaptureFiles.h"
#include "platform/SignalMask.h"
#include "platform/SteadyClock.h"
#include "platform/TextCodec.h"

namespace {

// One budget from the start of connect to the end of the handshake.
constexpr std::int32_t kConnectLimitMs = 15000;
constexpr int kReadinessPollMs = 1;

}  // namespace

CSocketManager::CSocketManager(size_t receiveCeiling) : m_recvCeiling(receiveCeiling) {
    m_bInitialized = Initialize();
    CaptureFiles::RemoveStale();
}

CSocketManager::~CSocketManager() {
    DisConnect();
    UnInitialize();
}

void CSocketManager::ReleaseObj() {
    delete this;
}

bool CSocketManager::Initialize() {
    if (!ModuleLoader::LoadTlsModules(m_hSslModule, m_hCryptoModule)) {
        return false;
    }
    // Modules that lack an entry point are treated as missing modules, not called blindly.
    if (!m_ssl.Resolve(m_hSslModule, m_hCryptoModule)) {
        ModuleLoader::Free(m_hSslModule);
        ModuleLoader::Free(m_hCryptoModule);
        m_hSslModule = nullptr;
        m_hCryptoModule = nullptr;
        return false;
    }
    m_ssl.StartLibrary();
    SocketApi::StartUp();
    m_pProtocol = new (std::nothrow) CForexProtocol(this);
    return true;
}

void CSocketManager::UnInitialize() {
    delete m_pProtocol;
    m_pProtocol = nullptr;
    // The protocol object goes first: nothing of it may run once the modules are released.
    ModuleLoader::Free(m_hSslModule);
    ModuleLoader::Free(m_hCryptoModule);
    m_hSslModule = nullptr;
    m_hCryptoModule = nullptr;
}

void CSocketManager::SetNotify(CAbsForexNotify* notify) {
    if (notify == nullptr) {
        return;
    }
    m_pNotify.store(notify);
    if (m_pProtocol != nullptr && m_pProtocol->GetDataCenter() != nullptr) {
        m_pProtocol->GetDataCenter()->SetNotify(notify);
    }
}

void CSocketManager::UnSetNotify() {
    m_pNotify.store(nullptr);
    if (m_pProtocol != nullptr && m_pProtocol->GetDataCenter() != nullptr) {
        m_pProtocol->GetDataCenter()->UnSetNotify();
    }
}

CForexDataCenter* CSocketManager::GetDataCenter() {
    return m_pProtocol == nullptr ? nullptr : m_pProtocol->GetDataCenter();
}

void CSocketManager::GetServer(CServer& server) {
    server.Address = m_server.Address;
    server.Port = m_server.Port;
}

void CSocketManager::SetErrorCode(E_ErrorCode code) {
    m_errorCode = code;
    NotifySink(Sink(), [&](CAbsForexNotify& sink) { sink.OnErrorCode(static_cast<int>(code)); });
}

bool CSocketManager::ConnectServer(const CServer& server) {
    if (!m_bInitialized) {
        SetErrorCode(EC_NotInitialized);
        return false;
    }
    if (m_bConnected.load()) {
        return true;
    }
    DisConnect();
    {
        CScopedLock guard(m_csRecvBuffer);
        m_recvBuffer.Clear();
    }
    m_bConnected.store(false);
    m_recvOverflowed = false;
    if (server.Address.IsEmpty() || server.Port == 0) {
        SetErrorCode(EC_InvalidServer);
        return false;
    }
    m_server.Address = server.Address;
    m_server.Port = server.Port;

    std::uint32_t address = 0;
    // Text that is no IPv4 address would read as the broadcast address, which no TCP
    // connection can reach: fail the same way without sending anything there.
    if (!SocketApi::ParseIpv4(WideToAnsi(server.Address), address)) {
        SetErrorCode(EC_ConnectFailed);
        return false;
    }
    if (!OpenTransport(address, static_cast<std::uint16_t>(server.Port & 0xFFFFu))) {
        return false;
    }

    m_bConnected.store(true);
    if (!StartThreadSend()) {
        SetErrorCode(EC_ThreadFailed);
    }
    if (!StartThreadRecv()) {
        SetErrorCode(EC_ThreadFailed);
    }
    if (!StartThreadPara()) {
        SetErrorCode(EC_ThreadFailed);
    }
    return true;
}

bool CSocketManager::OpenTransport(std::uint32_t address, std::uint16_t port) {
    m_pContext = m_ssl.ContextNew(m_ssl.ClientMethod());
    if (m_pContext == nullptr) {
        SetErrorCode(EC_SslObjectFailed);
        return false;
    }
    m_socket = SocketApi::CreateStream();
    if (!SocketApi::SetNonBlocking(m_socket, true)) {
        ReleaseTransport();
        return false;
    }
    const std::uint32_t startMs = SteadyClock::NowMs();
    const unsigned long started = SocketApi::Connect(m_socket, address, port);
    // An immediate success (possible on loopback) is a connection, not a failure.
    if (started != 0 && started != SocketApi::kWouldBlock) {
        ReleaseTransport();
        SetErrorCode(EC_ConnectFailed);
        return false;
    }
    if (started == SocketApi::kWouldBlock && !WaitForConnection(startMs)) {
        ReleaseTransport();
        SetErrorCode(EC_ConnectFailed);
        return false;
    }
    m_pSsl = m_ssl.New(m_pContext);
    if (m_pSsl == nullptr) {
        ReleaseTransport();
        SetErrorCode(EC_SslObjectFailed);
        return false;
    }
    // The socket stays non-blocking from here on: the handshake waits for readiness itself, and
    // afterwards the reader and the writer share the connection, waiting outside the TLS lock.
    if (!Handshake(startMs)) {
        ReleaseTransport();
        SetErrorCode(EC_ConnectFailed);
        return false;
    }
    return true;
}

bool CSocketManager::WaitForConnection(std::uint32_t startMs) {
    for (;;) {
        if (SteadyClock::ElapsedMs(startMs, SteadyClock::NowMs()) >= kConnectLimitMs) {
            return false;
        }
        const int ready = SocketApi::WaitWritable(m_socket, kReadinessPollMs);
        if (ready < 0) {
            return false;
        }
        if (ready > 0) {
            // Writable also means "failed"; a refused connection is known here already.
            return SocketApi::PendingError(m_socket) == 0;
        }
    }
}

bool CSocketManager::Handshake(std::uint32_t startMs) {
    if (m_ssl.SetFd(m_pSsl, m_socket) != 1) {
        return false;
    }
    // The handshake writes on the caller's thread; a peer that hangs up must not end the
    // caller's process.
    SignalMask::CBrokenPipeGuard pipeGuard;
    for (;;) {
        const int result = m_ssl.Connect(m_pSsl);
        if (result > 0) {
            return true;
        }
        const int tlsError = m_ssl.GetError(m_pSsl, result);
        if (tlsError != SSL_ERROR_WANT_READ && tlsError != SSL_ERROR_WANT_WRITE) {
            return false;
        }
        // One deadline for the whole exchange: a peer that trickles a byte at a time keeps every
        // single wait short, so only the time left since connect began may bound it.
        const std::int32_t leftMs =
            kConnectLimitMs - SteadyClock::ElapsedMs(startMs, SteadyClock::NowMs());
        if (leftMs <= 0) {
            return false;
        }
        const int ready = tlsError == SSL_ERROR_WANT_READ
                              ? SocketApi::WaitReadable(m_socket, leftMs)
                              : SocketApi::WaitWritable(m_socket, leftMs);
        if (ready < 0) {
            return false;
        }
    }
}

void CSocketManager::ReleaseTransport() {
    if (m_pSsl != nullptr) {
        m_ssl.Free(m_pSsl);
        m_pSsl = nullptr;
    }
    if (m_pContext != nullptr) {
        m_ssl.ContextFree(m_pContext);
        m_pContext = nullptr;
    }
    SocketApi::Close(m_socket);
    m_socket = SocketApi::kInvalidHandle;
}

void CSocketManager::DisConnect() {
    if (!m_bConnected.load()) {
        return;
    }
    // Cleared first: the workers end after their current pass, and the errors that the closing
    // socket causes are not reported.
    m_bConnected.store(false);
    // shutdown wakes a reader blocked in the TLS read; the descriptor is closed only after the
    // workers are joined, so its number cannot be reused under them.
    SocketApi::ShutdownBoth(m_socket);
    StopThreadRecv();
    StopThreadSend();
    StopThreadPara();
    ReleaseTransport();
    // What the session left unread goes now, not at the next connection: a long line in flight
    // may have grown the buffer to the ceiling.
    CScopedLock guard(m_csRecvBuffer);
    m_recvBuffer.Clear();
}
