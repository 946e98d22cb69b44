#include "connection/SocketManager.h"

#include <new>
#include <string>
#include <utility>

#include "connection/ConnectionPace.h"
#include "connection/MessagesPerPass.h"
#include "datacenter/NotifySink.h"
#include "platform/CaptureFiles.h"
#include "platform/ModuleLoader.h"
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
}

void CSocketManager::ReleaseObj() {
    delete this;
}

bool CSocketManager::Initialize() {
    CModuleHandle sslModule;
    CModuleHandle cryptoModule;
    if (!ModuleLoader::LoadTlsModules(sslModule, cryptoModule)) {
        return false;
    }
    // Modules that lack an entry point are treated as missing modules, not called blindly, and
    // are not kept loaded.
    if (!m_ssl.Resolve(sslModule.Get(), cryptoModule.Get())) {
        return false;
    }
    m_sslModule = std::move(sslModule);
    m_cryptoModule = std::move(cryptoModule);
    m_ssl.StartLibrary();
    SocketApi::StartUp();
    // A failed allocation leaves no protocol object: the requests then report failure.
    m_pProtocol.reset(new (std::nothrow) CForexProtocol());
    return true;
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
    CScopedLock guard(m_csServer);
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
    m_readEnd = CReadEnd();
    m_messagesPerPass = MessagesPerPass::FromEnvironment();
    m_pace = ConnectionPace::FromEnvironment();
    if (server.Address.IsEmpty() || server.Port == 0) {
        SetErrorCode(EC_InvalidServer);
        return false;
    }
    {
        CScopedLock guard(m_csServer);
        m_server.Address = server.Address;
        m_server.Port = server.Port;
    }

    std::uint32_t address = 0;
    // Text that is no IPv4 address would read as the broadcast address, which no TCP
    // connection can reach: fail the same way without sending anything there.
    if (!SocketApi::ParseIpv4(WideToAnsi(server.Address), address)) {
        SetErrorCode(EC_ConnectFailed);
        return false;
    }
    // Settings are read before anything is sent: an unusable one fails the attempt here.
    CVerificationSettings settings;
    if (!ReadVerification(settings)) {
        return false;
    }
    const CServerVerification verification(m_verifyApi, settings, address);
    if (!OpenTransport(address, static_cast<std::uint16_t>(server.Port & 0xFFFFu), verification)) {
        return false;
    }

    const std::string pass = m_pace == EConnectionPace::Immediate
                                 ? std::string("immediate")
                                 : std::to_string(m_messagesPerPass);
    m_capture.Open(server, pass,
                   m_pProtocol == nullptr ? COrderInfo() : m_pProtocol->LastCommittedOrder.Load());
    // A wake-up left over from the last connection would only cost one empty round; frames
    // queued meanwhile are sent by the send thread's first round anyway.
    m_wakeSend.Reset();
    m_wakeRecv.Reset();
    m_wakePara.Reset();
    m_recvHeld.store(false);
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

bool CSocketManager::ReadVerification(CVerificationSettings& settings) {
    // Never a silent fall-back to no check: a setting that cannot be used rejects the server.
    if (!settings.ReadEnvironment()) {
        SetErrorCode(EC_CertificateRejected);
        return false;
    }
    if (!settings.AnyCheck() || m_verifyApiResolved) {
        return true;
    }
    // Looked up only now, so modules without these names still make unverified connections.
    m_verifyApiResolved = m_verifyApi.Resolve(m_sslModule.Get(), m_cryptoModule.Get());
    if (!m_verifyApiResolved) {
        SetErrorCode(EC_NotInitialized);
        return false;
    }
    return true;
}

bool CSocketManager::OpenTransport(std::uint32_t address, std::uint16_t port,
                                   const CServerVerification& verification) {
    // Each failure below frees what was made so far as it returns.
    CTlsContext context = NewClientContext(m_ssl);
    if (context == nullptr) {
        SetErrorCode(EC_SslObjectFailed);
        return false;
    }
    if (!verification.PrepareContext(context.get())) {
        SetErrorCode(EC_CertificateRejected);
        return false;
    }
    CSocketHandle socket(SocketApi::CreateStream());
    if (!SocketApi::SetNonBlocking(socket.Get(), true)) {
        return false;
    }
    const std::uint32_t startMs = SteadyClock::NowMs();
    const unsigned long started = SocketApi::Connect(socket.Get(), address, port);
    // An immediate success (possible on loopback) is a connection, not a failure.
    if (started != 0 && started != SocketApi::kWouldBlock) {
        SetErrorCode(EC_ConnectFailed);
        return false;
    }
    if (started == SocketApi::kWouldBlock && !WaitForConnection(socket.Get(), startMs)) {
        SetErrorCode(EC_ConnectFailed);
        return false;
    }
    CTlsConnection tls = NewConnection(m_ssl, context.get());
    if (tls == nullptr) {
        SetErrorCode(EC_SslObjectFailed);
        return false;
    }
    // The socket stays non-blocking from here on: the handshake waits for readiness itself, and
    // afterwards the reader and the writer share the connection, waiting outside the TLS lock.
    if (!verification.PrepareConnection(tls.get())) {
        SetErrorCode(EC_CertificateRejected);
        return false;
    }
    if (!Handshake(tls.get(), socket.Get(), startMs)) {
        SetErrorCode(verification.RejectedDuringHandshake(tls.get()) ? EC_CertificateRejected
                                                                     : EC_ConnectFailed);
        return false;
    }
    // The pin is judged on the finished handshake, before the caller hears of a connection.
    if (!verification.AcceptsPeer(tls.get())) {
        SetErrorCode(EC_CertificateRejected);
        return false;
    }
    m_context = std::move(context);
    m_tls = std::move(tls);
    m_socket = std::move(socket);
    return true;
}

bool CSocketManager::WaitForConnection(SocketApi::Handle socket, std::uint32_t startMs) {
    for (;;) {
        if (SteadyClock::ElapsedMs(startMs, SteadyClock::NowMs()) >= kConnectLimitMs) {
            return false;
        }
        const int ready = SocketApi::WaitWritable(socket, kReadinessPollMs);
        if (ready < 0) {
            return false;
        }
        if (ready > 0) {
            // Writable also means "failed"; a refused connection is known here already.
            return SocketApi::PendingError(socket) == 0;
        }
    }
}

bool CSocketManager::Handshake(SSL* tls, SocketApi::Handle socket, std::uint32_t startMs) {
    if (m_ssl.SetFd(tls, static_cast<int>(socket)) != 1) {
        return false;
    }
    // The handshake writes on the caller's thread; a peer that hangs up must not end the
    // caller's process.
    SignalMask::CBrokenPipeGuard pipeGuard;
    for (;;) {
        const int result = m_ssl.Connect(tls);
        if (result > 0) {
            return true;
        }
        const int tlsError = m_ssl.GetError(tls, result);
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
        const int ready = tlsError == SSL_ERROR_WANT_READ ? SocketApi::WaitReadable(socket, leftMs)
                                                          : SocketApi::WaitWritable(socket, leftMs);
        if (ready < 0) {
            return false;
        }
    }
}

void CSocketManager::ReleaseTransport() {
    m_tls.reset();
    m_context.reset();
    m_socket.Reset();
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
    SocketApi::ShutdownBoth(m_socket.Get());
    // The immediate pace's sleepers wake at once instead of at their next pass.
    m_wakeRecv.Set();
    m_wakeSend.Set();
    m_wakePara.Set();
    StopThreadRecv();
    StopThreadSend();
    StopThreadPara();
    ReleaseTransport();
    // What the session left unread goes now, not at the next connection: a long line in flight
    // may have grown the buffer to the ceiling.
    size_t unread = 0;
    {
        CScopedLock guard(m_csRecvBuffer);
        unread = m_recvBuffer.Size();
        m_recvBuffer.Clear();
    }
    m_capture.Close(unread);
}
