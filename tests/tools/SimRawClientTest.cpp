// The simulator seen by a bare TLS client, byte for byte: the order of the login messages,
// the refusals before and at login, and frames that declare their own length.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <openssl/ssl.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "SimulatorThread.h"
#include "WireFormat.h"

namespace {

// A blocking TLS client on 127.0.0.1 that sends request frames and reads server frames.
class RawClient {
  public:
    explicit RawClient(std::uint16_t port) {
        m_fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        timeval limit{5, 0};
        setsockopt(m_fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
        m_connected = connect(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        m_context = SSL_CTX_new(TLS_client_method());
        m_ssl = SSL_new(m_context);
        SSL_set_fd(m_ssl, m_fd);
        m_connected = m_connected && SSL_connect(m_ssl) == 1;
    }
    ~RawClient() {
        SSL_free(m_ssl);
        SSL_CTX_free(m_context);
        close(m_fd);
    }
    RawClient(const RawClient&) = delete;
    RawClient& operator=(const RawClient&) = delete;

    bool Connected() const { return m_connected; }

    void Send(int code, const std::vector<std::string>& fields) {
        std::string body;
        for (const std::string& field : fields) {
            body += field + '\x01';
        }
        std::string inner = std::to_string(code) + '\x03' + body + '\x04';
        std::string length = std::to_string(inner.size() + 12);
        length.insert(0, 6 - length.size(), '0');
        const std::string frame = length + "000000" + inner + '\n';
        ASSERT_EQ(SSL_write(m_ssl, frame.data(), static_cast<int>(frame.size())),
                  static_cast<int>(frame.size()));
    }

    // The next frame without its CR LF; empty when none came within the socket's limit.
    std::string NextFrame() {
        for (;;) {
            const size_t end = m_pending.find("\r\n");
            if (end != std::string::npos) {
                std::string frame = m_pending.substr(0, end);
                m_pending.erase(0, end + 2);
                return frame;
            }
            char buffer[4096];
            const int count = SSL_read(m_ssl, buffer, sizeof buffer);
            if (count <= 0) {
                return {};
            }
            m_pending.append(buffer, static_cast<size_t>(count));
        }
    }

    // The code of the next frame that is not a quote, checking every frame's length field.
    int NextCode() {
        for (;;) {
            const std::string frame = NextFrame();
            if (frame.size() < 13) {
                return 0;
            }
            EXPECT_EQ(static_cast<size_t>(std::stoi(frame.substr(0, 6))), frame.size());
            const int code = std::stoi(frame.substr(12, frame.find('\x03') - 12));
            if (code != 9518) {
                m_lastBody = frame.substr(frame.find('\x03') + 1);
                return code;
            }
        }
    }
    const std::string& LastBody() const { return m_lastBody; }

  private:
    int m_fd = -1;
    SSL_CTX* m_context = nullptr;
    SSL* m_ssl = nullptr;
    bool m_connected = false;
    std::string m_pending;
    std::string m_lastBody;
};

class SimRawClientTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(m_sim.Start(CSimulatorThread::QuietOptions(), error)) << error;
    }
    std::uint16_t Port() const { return m_sim.Port(); }

  private:
    CSimulatorThread m_sim;
};

TEST_F(SimRawClientTest, RefusalsFirstThenTheLoginMessagesInTheirOrder) {
    RawClient client(Port());
    ASSERT_TRUE(client.Connected());

    client.Send(7001, {"demo", "demo", "EURUSD", "", "1"});
    EXPECT_EQ(client.NextCode(), 9999);
    EXPECT_NE(client.LastBody().find("102"), std::string::npos);

    client.Send(8000, {"demo", "demo", "wrong", "0", "-1", "2", "1.0.0.1"});
    EXPECT_EQ(client.NextCode(), 9999);
    EXPECT_NE(client.LastBody().find("101"), std::string::npos);

    client.Send(8000, {"demo", "demo", "demo", "0", "-1", "2", "1.0.0.1"});
    for (const int expected : {8000, 9501, 9511, 9505, 9516, 9515, 9512, 9513, 9524}) {
        EXPECT_EQ(client.NextCode(), expected);
    }
    // Quotes flow once logged in.
    const std::string quote = client.NextFrame();
    EXPECT_EQ(quote.substr(12, 5), "9518\x03");

    client.Send(7900, {"demo", "demo", "20000101", "20991231"});
    EXPECT_EQ(client.NextCode(), 9514);
    client.Send(8001, {"demo", "demo"});
    EXPECT_EQ(client.NextCode(), 9002);
    EXPECT_EQ(client.LastBody(), std::string("Logged out: demo\x01\x04"));
}

TEST_F(SimRawClientTest, ClientThatSendsGarbageIsIgnoredAndOthersAreServed) {
    RawClient noisy(Port());
    ASSERT_TRUE(noisy.Connected());
    noisy.Send(4242, {"x"});  // a code we do not serve
    RawClient client(Port());
    ASSERT_TRUE(client.Connected());
    client.Send(8000, {"alice", "alice", "alice", "0", "-1", "2", "1.0.0.1"});
    EXPECT_EQ(client.NextCode(), 8000);
    // The unknown request cost the noisy client nothing either.
    noisy.Send(8000, {"bob", "bob", "bob", "0", "-1", "2", "1.0.0.1"});
    EXPECT_EQ(noisy.NextCode(), 8000);
}

}  // namespace
