#include "TestTlsServer.h"

#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <cerrno>

#include "TestCertificates.h"
#include "TestSockets.h"

namespace {

constexpr int kPollMs = 5;
constexpr std::chrono::seconds kTricklePause{2};
// A handshake record that announces the largest body TLS allows: the client waits for all of it.
const char kFullRecordHeader[] = {'\x16', '\x03', '\x03', '\x40', '\x00'};

SSL_CTX* Context(void* context) {
    return static_cast<SSL_CTX*>(context);
}
SSL* Ssl(void* ssl) {
    return static_cast<SSL*>(ssl);
}

// One key and certificate per process: making them is the slow part of starting a server.
struct CCredentials {
    EVP_PKEY* key = nullptr;
    X509* certificate = nullptr;
};

const CCredentials& SelfSigned() {
    static const CCredentials credentials = [] {
        CCredentials made;
        made.key = EVP_EC_gen("P-256");
        made.certificate = X509_new();
        X509_set_version(made.certificate, 2);
        ASN1_INTEGER_set(X509_get_serialNumber(made.certificate), 1);
        X509_gmtime_adj(X509_getm_notBefore(made.certificate), -3600);
        X509_gmtime_adj(X509_getm_notAfter(made.certificate), 24L * 3600L);
        X509_set_pubkey(made.certificate, made.key);
        X509_NAME* name = X509_get_subject_name(made.certificate);
        X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                                   reinterpret_cast<const unsigned char*>("127.0.0.1"), -1, -1, 0);
        X509_set_issuer_name(made.certificate, name);
        X509_sign(made.certificate, made.key, EVP_sha256());
        return made;
    }();
    return credentials;
}

}  // namespace

CTestTlsServer::~CTestTlsServer() {
    Stop();
}

bool CTestTlsServer::Start(std::uint16_t port) {
    X509* certificate = m_identity != nullptr ? m_identity->certificate : SelfSigned().certificate;
    EVP_PKEY* key = m_identity != nullptr ? m_identity->key : SelfSigned().key;
    SSL_CTX* context = SSL_CTX_new(TLS_server_method());
    if (context == nullptr || SSL_CTX_use_certificate(context, certificate) != 1 ||
        SSL_CTX_use_PrivateKey(context, key) != 1) {
        SSL_CTX_free(context);
        return false;
    }
    m_context = context;

    m_listen = TestSockets::OpenLoopbackListener(port, m_port);
    if (m_listen < 0) {
        return false;
    }
    m_stop = false;
    m_thread = std::thread([this] { Run(); });
    return true;
}

void CTestTlsServer::Stop() {
    if (!m_thread.joinable()) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_thread.join();
    DropClient(false);
    for (int fd : m_stalled) {
        TestSockets::Close(fd);
    }
    m_stalled.clear();
    m_trickled.clear();
    TestSockets::Close(m_listen);
    m_listen = -1;
    SSL_CTX_free(Context(m_context));
    m_context = nullptr;
}

void CTestTlsServer::SetStall(bool stall) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_stall = stall;
}

void CTestTlsServer::SetTrickle(bool trickle) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_trickle = trickle;
}

int CTestTlsServer::TrickledBytes() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_trickledBytes;
}

std::string CTestTlsServer::LastServerName() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lastServerName;
}

int CTestTlsServer::HandshakeCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_handshakes;
}

bool CTestTlsServer::WaitForHandshakes(int count, Duration timeout) const {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] { return m_handshakes >= count; });
}

bool CTestTlsServer::HasClient() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_hasClient;
}

bool CTestTlsServer::WaitForClientGone(Duration timeout) const {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] { return !m_hasClient; });
}

std::vector<std::string> CTestTlsServer::Lines() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lines;
}

bool CTestTlsServer::WaitForLines(size_t count, Duration timeout) const {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] { return m_lines.size() >= count; });
}

std::string CTestTlsServer::Received() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_received;
}

void CTestTlsServer::ClearReceived() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_received.clear();
    m_lines.clear();
    m_partialLine.clear();
}

bool CTestTlsServer::Send(const std::string& bytes) {
    return RunCommand(ECommand::Send, bytes);
}

void CTestTlsServer::CloseClient() {
    RunCommand(ECommand::Close);
}

void CTestTlsServer::ResetClient() {
    RunCommand(ECommand::Reset);
}

bool CTestTlsServer::RunCommand(ECommand kind, const std::string& bytes) {
    CCommand command{kind, bytes};
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_stop || !m_thread.joinable()) {
        return false;
    }
    m_commands.push_back(&command);
    m_changed.wait(lock, [&] { return command.done; });
    return command.ok;
}

void CTestTlsServer::Run() {
    TestSockets::IgnoreBrokenPipesOnThisThread();

    for (;;) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_stop) {
                break;
            }
        }
        TestSockets::WaitForEither(m_listen, m_clientFd, kPollMs);
        AcceptOne();
        TrickleOne();
        ServeClient();
        RunCommands();
    }
    // Commands that arrive after the stop fail instead of waiting for ever.
    std::lock_guard<std::mutex> lock(m_mutex);
    for (CCommand* command : m_commands) {
        command->done = true;
    }
    m_commands.clear();
    m_changed.notify_all();
}

void CTestTlsServer::AcceptOne() {
    const int fd = TestSockets::AcceptClient(m_listen);
    if (fd < 0) {
        return;
    }
    bool stall = false;
    bool trickle = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        stall = m_stall;
        trickle = m_trickle;
    }
    if (trickle) {
        TestSockets::SendBytes(fd, kFullRecordHeader, sizeof(kFullRecordHeader));
        m_trickled.push_back(fd);
        m_nextTrickle = std::chrono::steady_clock::now() + kTricklePause;
    }
    if (stall || trickle) {
        m_stalled.push_back(fd);
        return;
    }
    DropClient(false);
    SSL* ssl = SSL_new(Context(m_context));
    SSL_set_fd(ssl, fd);
    m_clientFd = fd;
    m_clientSsl = ssl;
    m_clientReady = false;
}

void CTestTlsServer::TrickleOne() {
    if (m_trickled.empty() || std::chrono::steady_clock::now() < m_nextTrickle) {
        return;
    }
    m_nextTrickle += kTricklePause;
    int sent = 0;
    for (int fd : m_trickled) {
        sent += TestSockets::SendBytes(fd, "A", 1) ? 1 : 0;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_trickledBytes += sent;
}

void CTestTlsServer::ServeClient() {
    if (m_clientSsl == nullptr) {
        return;
    }
    SSL* ssl = Ssl(m_clientSsl);
    if (!m_clientReady) {
        const int result = SSL_accept(ssl);
        if (result == 1) {
            m_clientReady = true;
            const char* serverName = SSL_get_servername(ssl, TLSEXT_NAMETYPE_host_name);
            std::lock_guard<std::mutex> lock(m_mutex);
            m_lastServerName = serverName == nullptr ? "" : serverName;
            m_hasClient = true;
            ++m_handshakes;
            m_changed.notify_all();
        } else {
            const int error = SSL_get_error(ssl, result);
            if (error != SSL_ERROR_WANT_READ && error != SSL_ERROR_WANT_WRITE) {
                DropClient(false);
            }
            return;
        }
    }
    char chunk[4096];
    for (;;) {
        const int read = SSL_read(ssl, chunk, sizeof(chunk));
        if (read > 0) {
            AddReceived(chunk, static_cast<size_t>(read));
            continue;
        }
        const int error = SSL_get_error(ssl, read);
        if (error != SSL_ERROR_WANT_READ && error != SSL_ERROR_WANT_WRITE) {
            DropClient(false);
        }
        return;
    }
}

void CTestTlsServer::RunCommands() {
    for (;;) {
        CCommand* command = nullptr;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_commands.empty()) {
                return;
            }
            command = m_commands.front();
            m_commands.pop_front();
        }
        bool ok = true;
        switch (command->kind) {
            case ECommand::Send:
                ok = WriteAll(command->bytes);
                break;
            case ECommand::Close:
                DropClient(false);
                break;
            case ECommand::Reset:
                DropClient(true);
                break;
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        command->ok = ok;
        command->done = true;
        m_changed.notify_all();
    }
}

bool CTestTlsServer::WriteAll(const std::string& bytes) {
    if (m_clientSsl == nullptr || !m_clientReady) {
        return false;
    }
    SSL* ssl = Ssl(m_clientSsl);
    size_t written = 0;
    while (written < bytes.size()) {
        const int result =
            SSL_write(ssl, bytes.data() + written, static_cast<int>(bytes.size() - written));
        if (result > 0) {
            written += static_cast<size_t>(result);
            continue;
        }
        const int error = SSL_get_error(ssl, result);
        if (error == SSL_ERROR_WANT_WRITE || error == SSL_ERROR_WANT_READ) {
            if (error == SSL_ERROR_WANT_WRITE) {
                TestSockets::WaitWritable(m_clientFd, 100);
            } else {
                TestSockets::WaitReadable(m_clientFd, 100);
            }
            continue;
        }
        return false;
    }
    return true;
}

void CTestTlsServer::DropClient(bool reset) {
    if (m_clientSsl != nullptr) {
        if (reset) {
            TestSockets::SetAbortiveClose(m_clientFd);
        } else if (m_clientReady) {
            SSL_shutdown(Ssl(m_clientSsl));
        }
        SSL_free(Ssl(m_clientSsl));
        m_clientSsl = nullptr;
        ERR_clear_error();
    }
    if (m_clientFd >= 0) {
        TestSockets::Close(m_clientFd);
        m_clientFd = -1;
    }
    m_clientReady = false;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_hasClient) {
        m_hasClient = false;
        m_changed.notify_all();
    }
}

void CTestTlsServer::AddReceived(const char* data, size_t size) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_received.append(data, size);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == '\n') {
            m_lines.push_back(m_partialLine);
            m_partialLine.clear();
        } else {
            m_partialLine += data[i];
        }
    }
    m_changed.notify_all();
}
