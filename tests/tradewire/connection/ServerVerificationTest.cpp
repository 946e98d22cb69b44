#include <cstdlib>
#include <string>

#include "BlockingFile.h"
#include "ConnectionFixture.h"
#include "RefusingPort.h"
#include "TestCertificates.h"

namespace {

// Sets the three verification variables for the life of the object; empty leaves one unset.
class CVerificationEnvironment {
  public:
    CVerificationEnvironment(const std::string& caFile, const std::string& serverName,
                             const std::string& pins) {
        Set("TRADEWIRE_CA_FILE", caFile);
        Set("TRADEWIRE_SERVER_NAME", serverName);
        Set("TRADEWIRE_PIN_SHA256", pins);
    }
    ~CVerificationEnvironment() {
        ::unsetenv("TRADEWIRE_CA_FILE");
        ::unsetenv("TRADEWIRE_SERVER_NAME");
        ::unsetenv("TRADEWIRE_PIN_SHA256");
    }
    CVerificationEnvironment(const CVerificationEnvironment&) = delete;
    CVerificationEnvironment& operator=(const CVerificationEnvironment&) = delete;

  private:
    static void Set(const char* name, const std::string& value) {
        if (value.empty()) {
            ::unsetenv(name);
        } else {
            ::setenv(name, value.c_str(), 1);
        }
    }
};

const CTestCertificates& Certificates() {
    return CTestCertificates::Get();
}

}  // namespace

class ServerVerificationFixture : public ConnectionFixture {
  protected:
    // Restarts the loopback server with `identity` as its certificate.
    void Serve(const CTestIdentity& identity) {
        server.Stop();
        server.SetIdentity(identity);
        ASSERT_TRUE(server.Start());
    }

    // One attempt under the given settings: true when it connected. A failed attempt leaves no
    // connection; a successful one is closed again.
    bool ConnectWith(const std::string& caFile, const std::string& serverName,
                     const std::string& pins) {
        const CVerificationEnvironment environment(caFile, serverName, pins);
        const bool connected = Connect();
        EXPECT_EQ(manager->IsConnected(), connected);
        manager->DisConnect();
        return connected;
    }

    void ExpectRejected(const std::string& caFile, const std::string& serverName,
                        const std::string& pins) {
        sink.ClearErrorCodes();
        EXPECT_FALSE(ConnectWith(caFile, serverName, pins));
        EXPECT_EQ(sink.ErrorCodes(), std::vector<int>{EC_CertificateRejected});
        EXPECT_EQ(manager->GetErrorCode(), EC_CertificateRejected);
    }

    // Once it returns, the server has finished its side of the handshake too, so what it saw
    // (the server name sent) is this attempt's.
    void ExpectAccepted(const std::string& caFile, const std::string& serverName,
                        const std::string& pins) {
        sink.ClearErrorCodes();
        const int before = server.HandshakeCount();
        EXPECT_TRUE(ConnectWith(caFile, serverName, pins));
        EXPECT_TRUE(sink.ErrorCodes().empty());
        EXPECT_TRUE(server.WaitForHandshakes(before + 1, std::chrono::seconds(15)));
    }
};

TEST_F(ServerVerificationFixture, NoSettingsAcceptAnyCertificateAndSendNoServerName) {
    Serve(Certificates().stray);
    ExpectAccepted("", "", "");
    EXPECT_EQ(server.LastServerName(), "");
}

TEST_F(ServerVerificationFixture, TheRightCaAndAddressConnect) {
    Serve(Certificates().ipServer);
    ExpectAccepted(Certificates().caFile, "", "");
    EXPECT_EQ(server.LastServerName(), "");
    // The object stays usable without the settings afterwards.
    ExpectAccepted("", "", "");
}

TEST_F(ServerVerificationFixture, ASelfSignedCertificateMayBeTheWholeTrustFile) {
    Serve(Certificates().selfSigned);
    ExpectAccepted(Certificates().selfSignedFile, "", "");
}

TEST_F(ServerVerificationFixture, ACertificateOfAnotherCaGivesSeven) {
    Serve(Certificates().stray);
    ExpectRejected(Certificates().caFile, "", "");
    Serve(Certificates().ipServer);
    ExpectRejected(Certificates().otherCaFile, "", "");
    // A rejected attempt leaves nothing in the way of the next one.
    ExpectAccepted(Certificates().caFile, "", "");
}

TEST_F(ServerVerificationFixture, AnAddressOrNameMismatchGivesSeven) {
    Serve(Certificates().otherIp);
    ExpectRejected(Certificates().caFile, "", "");
    // A DNS name is no IP address: without TRADEWIRE_SERVER_NAME it cannot match.
    Serve(Certificates().dnsServer);
    ExpectRejected(Certificates().caFile, "", "");
    // With a server name, the name is what must match, not the address.
    Serve(Certificates().ipServer);
    ExpectRejected(Certificates().caFile, CTestCertificates::kDnsName, "");
    ExpectRejected(Certificates().caFile, "other.test", "");
    // The name counts only as a DNS alternative name, and a wildcard only as a whole label.
    Serve(Certificates().commonNameOnly);
    ExpectRejected(Certificates().caFile, CTestCertificates::kDnsName, "");
    Serve(Certificates().partialWildcard);
    ExpectRejected(Certificates().caFile, CTestCertificates::kPartialWildcardMatch, "");
}

TEST_F(ServerVerificationFixture, AServerNameAcceptsItsDnsCertificateAndIsSentAsSni) {
    Serve(Certificates().dnsServer);
    ExpectAccepted(Certificates().caFile, CTestCertificates::kDnsName, "");
    EXPECT_EQ(server.LastServerName(), CTestCertificates::kDnsName);
    // A trailing dot names the same host; it is neither matched nor sent.
    ExpectAccepted(Certificates().caFile, std::string(CTestCertificates::kDnsName) + ".", "");
    EXPECT_EQ(server.LastServerName(), CTestCertificates::kDnsName);
    // Without a CA file the name is only sent, not checked.
    Serve(Certificates().ipServer);
    ExpectAccepted("", "other.test", "");
    EXPECT_EQ(server.LastServerName(), "other.test");
}

TEST_F(ServerVerificationFixture, AnExpiredCertificateFailsTheCaCheckButNotAPinAlone) {
    Serve(Certificates().expired);
    ExpectRejected(Certificates().caFile, "", "");
    ExpectAccepted("", "", CTestCertificates::PinHex(Certificates().expired));
}

TEST_F(ServerVerificationFixture, AMatchingPinConnectsWithoutACaFile) {
    // Signed by a CA nobody trusts: only the key counts.
    const CTestIdentity& served = Certificates().stray;
    Serve(served);
    ExpectAccepted("", "", CTestCertificates::PinHex(served));
    ExpectAccepted("", "", "sha256//" + CTestCertificates::PinBase64(served));
    const std::string other = CTestCertificates::PinHex(Certificates().ipServer);
    ExpectAccepted("", "", other + "," + CTestCertificates::PinBase64(served));
}

TEST_F(ServerVerificationFixture, AWrongPinGivesSeven) {
    Serve(Certificates().stray);
    ExpectRejected("", "", CTestCertificates::PinHex(Certificates().ipServer));
    // Judged after the handshake: not one byte of a request follows it.
    EXPECT_EQ(server.Received(), "");
}

TEST_F(ServerVerificationFixture, WithACaFileAndPinsBothMustHold) {
    const std::string rightPin = CTestCertificates::PinHex(Certificates().ipServer);
    const std::string wrongPin = CTestCertificates::PinHex(Certificates().stray);
    Serve(Certificates().ipServer);
    ExpectAccepted(Certificates().caFile, "", rightPin);
    ExpectRejected(Certificates().caFile, "", wrongPin);
    ExpectRejected(Certificates().otherCaFile, "", rightPin);
}

TEST_F(ServerVerificationFixture, UnusableSettingsGiveSevenBeforeAnythingIsSent) {
    // Nothing listens on the port: an attempt that got as far as connecting would give 5.
    const CRefusingPort refusing;
    ASSERT_TRUE(refusing.IsOpen());
    // Opened as a plain file, this would hold ConnectServer for ever.
    const CBlockingFile blocking;
    ASSERT_TRUE(blocking.IsMade());
    struct CUnusable {
        const char* what;
        std::string caFile, serverName, pins;
    };
    const std::vector<CUnusable> cases = {
        {"missing CA file", Certificates().missingFile, "", ""},
        {"malformed pin", "", "", "sha256//not-a-digest"},
        {"one malformed pin of two", Certificates().caFile, "",
         CTestCertificates::PinHex(Certificates().ca) + ",abc"},
        {"server name that is no DNS name", "", "trading test", ""},
        {"server name that is an IP address", "", "127.0.0.1", ""},
        {"CA file that is a FIFO or a pipe", blocking.Path(), "", ""},
        {"CA file that is a folder", Certificates().caFile + "/..", "", ""},
    };
    for (const CUnusable& row : cases) {
        SCOPED_TRACE(row.what);
        const CVerificationEnvironment environment(row.caFile, row.serverName, row.pins);
        sink.ClearErrorCodes();
        EXPECT_FALSE(manager->ConnectServer(LoopbackServer(refusing.Port())));
        EXPECT_EQ(sink.ErrorCodes(), std::vector<int>{EC_CertificateRejected});
    }
    // And against a live server, the missing file fails the same way with no handshake.
    const CVerificationEnvironment environment(Certificates().missingFile, "", "");
    EXPECT_FALSE(Connect());
    EXPECT_EQ(server.HandshakeCount(), 0);
}

TEST(ServerVerificationModules, MissingCheckEntryPointsFailOnlyTheCheckedAttemptsWithOne) {
    ::setenv("TRADEWIRE_SSL_MODULE", REAL_SSL_MODULE, 1);
    ::setenv("TRADEWIRE_CRYPTO_MODULE", PARTIAL_CRYPTO_MODULE, 1);
    CSocketManager* manager = new CSocketManager();
    ::unsetenv("TRADEWIRE_SSL_MODULE");
    ::unsetenv("TRADEWIRE_CRYPTO_MODULE");
    CConnectionTestSink sink;
    manager->SetNotify(&sink);
    ASSERT_NE(manager->GetDataCenter(), nullptr);
    CTestTlsServer server;
    ASSERT_TRUE(server.Start());

    EXPECT_TRUE(manager->ConnectServer(LoopbackServer(server.Port())));
    manager->DisConnect();
    {
        const CVerificationEnvironment environment(
            "", "", CTestCertificates::PinHex(Certificates().ipServer));
        EXPECT_FALSE(manager->ConnectServer(LoopbackServer(server.Port())));
    }
    EXPECT_EQ(sink.ErrorCodes(), std::vector<int>{EC_NotInitialized});
    EXPECT_NE(manager->GetDataCenter(), nullptr);
    EXPECT_TRUE(manager->ConnectServer(LoopbackServer(server.Port())));
    manager->DisConnect();
    manager->ReleaseObj();
}
