#include "TlsServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <openssl/err.h>

#include <cerrno>
#include <vector>

#include "SelfSignedCertificate.h"

namespace sim {

namespace {

constexpr int kBacklog = 16;
constexpr int kReadChunk = 16384;

bool MakeNonBlocking(int fd) {
    const int flags = fcntl(fd, F_GETFL, 0);
    return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

}  // namespace

TlsServer::~TlsServer() {
    for (auto& [id, session] : m_sessions) {
        SSL_free(session.ssl);
        close(session.fd);
    }
    if (m_listenFd >= 0) {
        close(m_listenFd);
    }
    SSL_CTX_free(m_context);
}

std::string TlsServer::PublicKeyPin() const {
    return m_context == nullptr ? std::string() : sim::PublicKeyPin(m_context);
}

bool TlsServer::Start(const TlsServerConfig& config, std::string& error) {
    m_context = SSL_CTX_new(TLS_server_method());
    if (m_context == nullptr) {
        error = "cannot make a TLS context";
        return false;
    }
    SSL_CTX_set_min_proto_version(m_context, TLS1_2_VERSION);
    SSL_CTX_set_mode(m_context,
                     SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
    if (!InstallCertificate(m_context, config.certFile, config.keyFile, error)) {
        return false;
    }
    m_listenFd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_listenFd < 0) {
        error = "cannot make a socket";
        return false;
    }
    const int on = 1;
    setsockopt(m_listenFd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(config.port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);  // loopback only, never anything else
    if (bind(m_listenFd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(m_listenFd, kBacklog) != 0 || !MakeNonBlocking(m_listenFd)) {
        error = "cannot listen on 127.0.0.1:" + std::to_string(config.port);
        return false;
    }
    socklen_t length = sizeof address;
    getsockname(m_listenFd, reinterpret_cast<sockaddr*>(&address), &length);
    m_port = ntohs(address.sin_port);
    return true;
}

void TlsServer::Poll(int timeoutMs, TlsHandler& handler) {
    std::vector<pollfd> fds;
    std::vector<int> ids;
    fds.push_back({m_listenFd, POLLIN, 0});
    ids.push_back(0);
    for (const auto& [id, session] : m_sessions) {
        short events = POLLIN;
        if (!session.out.empty()) {
            events |= POLLOUT;
        }
        fds.push_back({session.fd, events, 0});
        ids.push_back(id);
    }
    const int ready = poll(fds.data(), fds.size(), timeoutMs);
    if (ready > 0) {
        if ((fds[0].revents & POLLIN) != 0) {
            AcceptAll(handler);
        }
        for (size_t index = 1; index < fds.size(); ++index) {
            if (fds[index].revents == 0) {
                continue;
            }
            auto found = m_sessions.find(ids[index]);
            if (found != m_sessions.end()) {
                Service(found->first, found->second, handler);
            }
        }
    }
    for (auto& [id, session] : m_sessions) {
        if (session.ready && !session.closing) {
            Flush(session);
        }
    }
    Reap(handler);
}

void TlsServer::AcceptAll(TlsHandler& handler) {
    for (;;) {
        const int fd = accept4(m_listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            return;
        }
        const int on = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        Session session;
        session.fd = fd;
        session.ssl = SSL_new(m_context);
        if (session.ssl == nullptr) {
            close(fd);
            continue;
        }
        SSL_set_fd(session.ssl, fd);
        SSL_set_accept_state(session.ssl);
        const int id = m_nextId++;
        Session& stored = m_sessions.emplace(id, session).first->second;
        Handshake(id, stored, handler);
    }
}

void TlsServer::Service(int id, Session& session, TlsHandler& handler) {
    if (session.closing) {
        return;
    }
    if (!session.ready) {
        Handshake(id, session, handler);
        return;
    }
    ReadAll(id, session, handler);
}

void TlsServer::Handshake(int id, Session& session, TlsHandler& handler) {
    ERR_clear_error();
    const int result = SSL_do_handshake(session.ssl);
    if (result == 1) {
        session.ready = true;
        handler.OnOpened(id);
        ReadAll(id, session, handler);
        return;
    }
    const int reason = SSL_get_error(session.ssl, result);
    if (reason != SSL_ERROR_WANT_READ && reason != SSL_ERROR_WANT_WRITE) {
        session.closing = true;
    }
}

void TlsServer::ReadAll(int id, Session& session, TlsHandler& handler) {
    char buffer[kReadChunk];
    while (!session.closing) {
        ERR_clear_error();
        const int count = SSL_read(session.ssl, buffer, sizeof buffer);
        if (count > 0) {
            handler.OnBytes(id, std::string_view(buffer, static_cast<size_t>(count)));
            continue;
        }
        const int reason = SSL_get_error(session.ssl, count);
        if (reason != SSL_ERROR_WANT_READ && reason != SSL_ERROR_WANT_WRITE) {
            session.closing = true;
        }
        return;
    }
}

void TlsServer::Send(int session, std::string_view bytes) {
    auto found = m_sessions.find(session);
    if (found == m_sessions.end() || found->second.closing) {
        return;
    }
    found->second.out.append(bytes);
    if (found->second.ready) {
        Flush(found->second);
    }
}

void TlsServer::Flush(Session& session) {
    while (!session.out.empty()) {
        ERR_clear_error();
        const int count = SSL_write(session.ssl, session.out.data(),
                                    static_cast<int>(std::min<size_t>(session.out.size(), 65536)));
        if (count > 0) {
            session.out.erase(0, static_cast<size_t>(count));
            continue;
        }
        const int reason = SSL_get_error(session.ssl, count);
        if (reason != SSL_ERROR_WANT_READ && reason != SSL_ERROR_WANT_WRITE) {
            session.closing = true;
        }
        return;
    }
}

void TlsServer::Close(int session) {
    auto found = m_sessions.find(session);
    if (found != m_sessions.end()) {
        found->second.closing = true;
    }
}

void TlsServer::Reap(TlsHandler& handler) {
    for (auto it = m_sessions.begin(); it != m_sessions.end();) {
        if (!it->second.closing) {
            ++it;
            continue;
        }
        const int id = it->first;
        const bool wasReady = it->second.ready;
        SSL_free(it->second.ssl);
        close(it->second.fd);
        it = m_sessions.erase(it);
        if (wasReady) {
            handler.OnClosed(id);
        }
    }
}

}  // namespace sim
