#pragma once
// A TLS server on 127.0.0.1 for tests, linked against OpenSSL in the ordinary way. It listens on
// a port the system picks, serves one client at a time (a new client replaces the previous one)
// and records every line that client sends. Its certificate is self-signed and made in memory
// when the first server starts.
//
// All socket and TLS work runs on the server's own thread; the member functions below may be
// called from any test thread. Typical use:
//
//     CTestTlsServer server;
//     ASSERT_TRUE(server.Start());
//     ... connect a client to 127.0.0.1:server.Port() ...
//     ASSERT_TRUE(server.WaitForLines(1, std::chrono::seconds(5)));
//     EXPECT_EQ(server.Lines()[0], expectedFrame);   // a line is the bytes before one 0x0A
//     server.Send(std::string("...\r\n"));            // scripted bytes to the client
//     server.CloseClient();                           // or ResetClient()
//
// With SetStall(true) the server accepts TCP connections but never answers the TLS handshake
// (the connections stay open until Stop). With SetTrickle(true) it answers each one with the
// header of a full-size TLS record and then one byte of its body every 2 s, so the client's
// handshake always has just enough to keep reading and never completes.
//
// SetIdentity, before Start, serves a certificate of CTestCertificates instead of the default
// self-signed one (CN 127.0.0.1, no alternative name).

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct CTestIdentity;

class CTestTlsServer {
  public:
    using Duration = std::chrono::milliseconds;

    CTestTlsServer() = default;
    ~CTestTlsServer();
    CTestTlsServer(const CTestTlsServer&) = delete;
    CTestTlsServer& operator=(const CTestTlsServer&) = delete;

    // Listens on 127.0.0.1:port (0: any free port) and starts the server thread.
    bool Start(std::uint16_t port = 0);
    // Closes every connection and the listener and joins the thread. Called by the destructor.
    void Stop();
    std::uint16_t Port() const { return m_port; }
    // The identity stays owned by the caller and must outlive the server.
    void SetIdentity(const CTestIdentity& identity) { m_identity = &identity; }

    // Accept TCP but never start TLS, for clients that must time out in their handshake.
    void SetStall(bool stall);
    void SetTrickle(bool trickle);
    // Body bytes trickled so far, over every trickled connection.
    int TrickledBytes() const;

    // Number of TLS handshakes completed so far (one per connected client).
    int HandshakeCount() const;
    // The server name (SNI) the last client to complete a handshake sent; empty when it sent
    // none.
    std::string LastServerName() const;
    bool WaitForHandshakes(int count, Duration timeout) const;
    // True while a client is connected over TLS and not yet closed by either side.
    bool HasClient() const;
    // Waits until the current client has gone (closed or reset by the peer).
    bool WaitForClientGone(Duration timeout) const;

    // Lines received from every client, in arrival order, without their 0x0A.
    std::vector<std::string> Lines() const;
    bool WaitForLines(size_t count, Duration timeout) const;
    // Every byte received, line ends included.
    std::string Received() const;
    void ClearReceived();

    // Sends bytes to the current client as one TLS record per call; false when there is no
    // client or the write failed. Returns once the bytes are written.
    bool Send(const std::string& bytes);
    // Ends the current client's connection: TLS close_notify then close.
    void CloseClient();
    // Ends it with a TCP reset instead.
    void ResetClient();

  private:
    struct CClient;
    enum class ECommand { Send, Close, Reset };
    struct CCommand {
        ECommand kind;
        std::string bytes;
        bool done = false;
        bool ok = false;
    };

    bool RunCommand(ECommand kind, const std::string& bytes = std::string());
    void Run();
    void AcceptOne();
    void TrickleOne();
    void ServeClient();
    void RunCommands();
    bool WriteAll(const std::string& bytes);
    void DropClient(bool reset);
    void AddReceived(const char* data, size_t size);

    const CTestIdentity* m_identity = nullptr;
    int m_listen = -1;
    std::uint16_t m_port = 0;
    std::thread m_thread;
    void* m_context = nullptr;  // SSL_CTX*, server thread only after Start
    int m_clientFd = -1;        // server thread only
    void* m_clientSsl = nullptr;
    bool m_clientReady = false;   // handshake done
    std::vector<int> m_stalled;   // server thread only, the silent and the trickled ones
    std::vector<int> m_trickled;  // server thread only
    std::chrono::steady_clock::time_point m_nextTrickle;  // server thread only

    mutable std::mutex m_mutex;  // guards everything below
    mutable std::condition_variable m_changed;
    bool m_stop = false;
    bool m_stall = false;
    bool m_trickle = false;
    int m_trickledBytes = 0;
    bool m_hasClient = false;
    int m_handshakes = 0;
    std::string m_lastServerName;
    std::string m_received;
    std::vector<std::string> m_lines;
    std::string m_partialLine;
    std::deque<CCommand*> m_commands;
};
