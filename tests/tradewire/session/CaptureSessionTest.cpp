// Capture of a connection's session: the file it leaves, its size and queue limits, and its
// offline replay through the protocol object giving the callbacks the live session gave.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "SessionFixture.h"
#include "platform/CaptureWriter.h"
#include "protocol/CaptureRecords.h"
#include "protocol/CaptureReplay.h"
#include "vocabulary/CaptureLine.h"

namespace {

namespace fs = std::filesystem;

// A folder of its own under the system's temporary folder, removed with everything in it.
class CTempFolder {
  public:
    explicit CTempFolder(const std::string& name)
        : m_path(fs::temp_directory_path() /
                 (name + "-" + std::to_string(CCaptureFile::ProcessId()))) {
        fs::remove_all(m_path);
        fs::create_directories(m_path);
    }
    ~CTempFolder() {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    std::string Path() const { return m_path.string(); }
    std::vector<fs::path> Files() const {
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(m_path)) {
            files.push_back(entry.path());
        }
        return files;
    }

  private:
    fs::path m_path;
};

std::string ReadAll(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

TEST(CaptureFormat, RecordsReadBackAsWrittenAndOnlyTheLoginPasswordIsHidden) {
    std::string all;
    for (int byte = 0; byte < 256; ++byte) {
        all += static_cast<char>(byte);
    }
    std::string escaped;
    capture::AppendEscaped(escaped, all);
    EXPECT_EQ(escaped.find('\n'), std::string::npos);
    std::string back;
    ASSERT_TRUE(capture::Unescape(escaped, back));
    EXPECT_EQ(back, all);
    EXPECT_FALSE(capture::Unescape("ab\\x4", back));
    EXPECT_FALSE(capture::Unescape("\\y41", back));

    capture::Line line;
    ASSERT_TRUE(capture::SplitLine("123 recv a b\\x01", line));
    EXPECT_EQ(line.ms, 123u);
    EXPECT_EQ(line.kind, "recv");
    EXPECT_EQ(line.payload, "a b\\x01");
    EXPECT_FALSE(capture::SplitLine("TWCAP 1 pid=1", line));
    EXPECT_FALSE(capture::SplitLine("99999999999 recv x", line));

    COrderInfo order = SessionRequest(64, 17);
    order.Value3 = L"two words\\and\x4E2D";
    order.Value28 = L"";
    order.TriggerPrice1 = 1.0995f;
    order.Value31 = -3.25e-7f;
    COrderInfo read;
    ASSERT_TRUE(CaptureRecords::DecodeOrder(CaptureRecords::EncodeOrder(order), read));
    EXPECT_EQ(CaptureRecords::EncodeOrder(read), CaptureRecords::EncodeOrder(order));
    EXPECT_TRUE(read.Value3 == order.Value3);
    EXPECT_EQ(read.TriggerPrice1, order.TriggerPrice1);
    EXPECT_EQ(read.Value31, order.Value31);
    EXPECT_FALSE(CaptureRecords::DecodeOrder("InternalNo", read));

    CForexProtocol protocol;
    const std::string login = protocol.BuildLogin(L"trader", L"pass\x01word");
    const std::string masked = CaptureRecords::MaskedFrame(login);
    EXPECT_EQ(masked.find("pass"), std::string::npos);
    EXPECT_NE(masked.find("8000\x03trader\x01trader\x01***\x01word\x01"), std::string::npos)
        << "the password ends at its first field end: what follows is another field";
    EXPECT_EQ(masked.substr(masked.find("\x01word")), login.substr(login.find("\x01word")));
    const std::string logout = protocol.BuildLogout(L"trader");
    EXPECT_EQ(CaptureRecords::MaskedFrame(logout), logout);
}

TEST(CaptureWriter, StopsAtItsSizeLimitWithARecordSayingSo) {
    CTempFolder folder("twcap-limit");
    CCaptureWriter::Settings settings;
    settings.folder = folder.Path();
    settings.maxFileBytes = 1000;
    std::string name;
    auto writer = CCaptureWriter::Open(settings, "TWCAP 1 test", name);
    ASSERT_NE(writer, nullptr);
    for (int i = 0; i < 100; ++i) {
        writer->Push(static_cast<std::uint32_t>(i), capture::kReceived, std::string(40, 'x'), true);
    }
    writer->Close(100, capture::kClosed, "dispatched=0 unread=0");
    writer.reset();
    const std::string text = ReadAll(fs::path(folder.Path()) / name);
    EXPECT_LE(text.size(), 1000u);
    const std::vector<std::string> lines = LinesOf(text);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines.front(), "TWCAP 1 test");
    EXPECT_NE(lines.back().find(" limit 1000"), std::string::npos) << lines.back();
}

TEST(CaptureWriter, RecordsBeyondItsQueueAreCountedNotWritten) {
    CTempFolder folder("twcap-queue");
    CCaptureWriter::Settings settings;
    settings.folder = folder.Path();
    settings.maxQueuedBytes = 100;
    std::string name;
    auto writer = CCaptureWriter::Open(settings, "TWCAP 1 test", name);
    ASSERT_NE(writer, nullptr);
    for (int i = 0; i < 10; ++i) {
        writer->Push(1, capture::kSent, std::string(40, 'y'), true);
    }
    writer->Close(2, capture::kClosed, "dispatched=0 unread=0");
    writer.reset();
    const std::string text = ReadAll(fs::path(folder.Path()) / name);
    EXPECT_NE(text.find(" dropped "), std::string::npos) << text;
    EXPECT_NE(text.find(" close dispatched=0"), std::string::npos);

    // A folder that is not there: no writer, nothing made.
    settings.folder = folder.Path() + "/missing/deeper";
    EXPECT_EQ(CCaptureWriter::Open(settings, "TWCAP 1 test", name), nullptr);
}

// The connection opens its capture at connect, so the variable is set before the fixture's
// SetUp connects.
class CaptureSessionTest : public SessionTest {
  protected:
    void SetUp() override {
        ::setenv("TRADEWIRE_CAPTURE_DIR", captureFolder.Path().c_str(), 1);
        SessionTest::SetUp();
        ::unsetenv("TRADEWIRE_CAPTURE_DIR");
    }

    CTempFolder captureFolder{"twcap-session"};
};

TEST_F(CaptureSessionTest, TheReplayOfACaptureGivesTheLiveCallbacksAndHidesThePassword) {
    ASSERT_TRUE(manager->ReqLogin(L"trader", L"s3cret-Pw"));
    ASSERT_TRUE(server.WaitForLines(1, kWait));
    std::vector<std::string> live = PlayLogin();
    // The reply to an order matches the order committed last, so the replay must commit it at
    // the same place.
    COrderInfo open = Request(60);
    Commit(open);
    for (const std::string& line :
         Play({OrderEventLine(7002, open),
               DealEventLine(SessionDeal(11, open.InternalNo, 40, 2, 1.5f)),
               QuotesLine({{{"EURUSD", 1.21f, 1.215f, "t3"}}})},
              5)) {
        live.push_back(line);
    }
    manager->DisConnect();

    const std::vector<fs::path> files = captureFolder.Files();
    ASSERT_EQ(files.size(), 1u);
    const std::string name = files[0].filename().string();
    EXPECT_EQ(name.rfind("tradewire-", 0), 0u) << name;
    const std::string text = ReadAll(files[0]);
    EXPECT_EQ(text.find("s3cret"), std::string::npos);
    EXPECT_NE(text.find("trader\\x01trader\\x01***\\x01"), std::string::npos);
    EXPECT_NE(text.find(" commit after="), std::string::npos);

    CCaptureReplay replay;
    std::string error;
    ASSERT_TRUE(replay.Load(text, error)) << error;
    CRecordingSink replayed;
    replay.Run(replayed, false);
    std::vector<std::string> lines = replayed.Lines();
    // The fixture's greeting came before the test's part of the session.
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "OnTextMessage \"welcome\"");
    lines.erase(lines.begin());
    EXPECT_EQ(lines, live);
}

TEST(CaptureSession, AFolderThatCannotBeWrittenLeavesTheConnectionWorking) {
    CTempFolder folder("twcap-unwritable");
    const std::string missing = folder.Path() + "/not/there";
    ::setenv("TRADEWIRE_CAPTURE_DIR", missing.c_str(), 1);
    CTestTlsServer server;
    ASSERT_TRUE(server.Start());
    CRecordingSink sink;
    auto* manager = new CSocketManager();
    manager->SetNotify(&sink);
    CServer target;
    target.Address = L"127.0.0.1";
    target.Port = server.Port();
    EXPECT_TRUE(manager->ConnectServer(target));
    ::unsetenv("TRADEWIRE_CAPTURE_DIR");
    ASSERT_TRUE(server.WaitForHandshakes(1, std::chrono::seconds(15)));
    EXPECT_TRUE(server.Send(InboundLine(9002, "hello")));
    EXPECT_TRUE(sink.WaitFor(1, std::chrono::seconds(15)));
    EXPECT_EQ(sink.Lines().front(), "OnTextMessage \"hello\"");
    manager->DisConnect();
    manager->ReleaseObj();
    server.Stop();
    EXPECT_TRUE(folder.Files().empty());
}

}  // namespace
