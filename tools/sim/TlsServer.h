#pragma once
// A small TLS server on 127.0.0.1 built on poll(2) and non-blocking OpenSSL. It knows bytes
// and connections only; what the bytes mean is the handler's business. One thread owns the
// server: it calls Poll, and Send and Close run on that thread (typically from inside the
// handler's callbacks).

#include <openssl/ssl.h>

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "common/base/NonCopyable.h"

namespace sim {

class TlsHandler {
  public:
    virtual void OnOpened(int session) = 0;
    virtual void OnBytes(int session, std::string_view bytes) = 0;
    virtual void OnClosed(int session) = 0;

  protected:
    ~TlsHandler() = default;
};

struct TlsServerConfig {
    std::uint16_t port = 0;  // 0 lets the system pick a free one
    std::string certFile;    // both empty: a self-signed certificate is made
    std::string keyFile;
};

class TlsServer : NonCopyable {
  public:
    TlsServer() = default;
    ~TlsServer();

    bool Start(const TlsServerConfig& config, std::string& error);
    std::uint16_t Port() const { return m_port; }
    // The public-key pin of the served certificate (see PublicKeyPin); empty before Start.
    std::string PublicKeyPin() const;

    // Waits at most timeoutMs for activity, then accepts, hand-shakes, reads and writes.
    void Poll(int timeoutMs, TlsHandler& handler);
    // Queues bytes and writes what the connection takes now. Unknown sessions are ignored.
    void Send(int session, std::string_view bytes);
    // Drops a connection at the end of the current poll pass (OnClosed follows).
    void Close(int session);
    size_t SessionCount() const { return m_sessions.size(); }

  private:
    struct Session {
        int fd = -1;
        SSL* ssl = nullptr;
        bool ready = false;  // handshake done
        bool closing = false;
        std::string out;
    };

    void AcceptAll(TlsHandler& handler);
    void Service(int id, Session& session, TlsHandler& handler);
    void Handshake(int id, Session& session, TlsHandler& handler);
    void ReadAll(int id, Session& session, TlsHandler& handler);
    void Flush(Session& session);
    void Reap(TlsHandler& handler);

    SSL_CTX* m_context = nullptr;
    int m_listenFd = -1;
    std::uint16_t m_port = 0;
    int m_nextId = 1;
    std::map<int, Session> m_sessions;
};

}  // namespace sim
