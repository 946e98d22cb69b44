// Capture of a connection's session: the file it leaves, its size and queue limits, and its
// offline replay through the protocol object giving the callbacks the live session gave.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "Eventually.h"
#include "FileText.h"
#include "LoopbackConnectionTest.h"
#include "SessionFixture.h"
#include "TempFolder.h"
#include "platform/CaptureWriter.h"
#include "platform/TextCodec.h"
#include "protocol/CaptureRecords.h"
#include "protocol/CaptureReplay.h"
#include "vocabulary/CaptureLine.h"
#include "vocabulary/WideText.h"

namespace {

namespace fs = std::filesystem;

constexpr std::chrono::seconds kCaptureWait{15};

// A stream that cannot seek, as a pipe: the replay must keep the received bytes it reads.
class COneWayBuffer : public std::streambuf {
  public:
    explicit COneWayBuffer(std::string text) : m_text(std::move(text)) {
        setg(m_text.data(), m_text.data(), m_text.data() + m_text.size());
    }

  private:
    std::string m_text;
};

size_t CountOf(const std::string& text, const std::string& what) {
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++count;
    }
    return count;
}

std::wstring ToWide(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
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
    EXPECT_TRUE(capture::IsHeader("TWCAP 2 pid=1"));
    EXPECT_TRUE(capture::IsHeader("TWCAP 1 pid=1"));
    EXPECT_TRUE(capture::IsHeader("TWCAP 1"));
    EXPECT_FALSE(capture::IsHeader("TWCAP 10 pid=1"));
    EXPECT_FALSE(capture::IsHeader("TWCAP"));

    // A dispatch record names the code of a whole line; a line shorter than it declares is
    // joined to the next, no message of its own.
    const std::string whole = CForexProtocol::PackMessage(9518, "EURUSD\x01");
    EXPECT_EQ(CForexProtocol::DispatchCode(whole), 9518);
    EXPECT_EQ(CForexProtocol::DispatchCode(whole.substr(0, whole.size() - 3)), -1);
    EXPECT_EQ(CForexProtocol::DispatchCode("no header at all"), 0);

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

    // The builder places the password; separators in either text move nothing.
    CForexProtocol protocol;
    CFrameSpan password;
    const std::string login = protocol.BuildLogin(
        L"tr\x01"
        L"ader",
        L"pass\x01word", &password);
    EXPECT_EQ(login.substr(password.offset, password.size), "pass\x01word");
    EXPECT_EQ(
        CaptureRecords::MaskedFrame(login, password),
        login.substr(0, password.offset) + "***" + login.substr(password.offset + password.size));
    const std::string logout = protocol.BuildLogout(L"trader");
    EXPECT_EQ(CaptureRecords::MaskedFrame(logout, CFrameSpan()), logout);
}

// Two messages captured 100 ms apart: a paced capture replays them at its passes, one of the
// immediate pace at the moments they were read.
TEST(CaptureReplayPace, AnImmediateCaptureReplaysEachMessageWhenItWasRead) {
    std::string first;
    std::string second;
    capture::AppendEscaped(first, InboundLine(9002, "a"));
    capture::AppendEscaped(second, InboundLine(9002, "b"));
    for (const auto& [pass, times] :
         {std::pair<std::string, std::vector<std::uint32_t>>{"1", {30, 120}},
          std::pair<std::string, std::vector<std::uint32_t>>{"immediate", {0, 100}}}) {
        const std::string text = std::string(capture::kMagic) + " pass=" + pass + "\n0 recv " +
                                 first + "\n100 recv " + second + "\n";
        CCaptureReplay replay;
        std::string error;
        ASSERT_TRUE(replay.Load(text, error)) << error;
        CRecordingSink sink;
        std::vector<std::uint32_t> told;
        replay.Run(sink, true, [&](std::uint32_t ms) { told.push_back(ms); });
        EXPECT_EQ(told, times) << pass;
        EXPECT_EQ(sink.Lines(),
                  (std::vector<std::string>{"OnTextMessage \"a\"", "OnTextMessage \"b\""}));
    }
}

CCaptureWriter::Settings FileLimit(size_t bytes) {
    CCaptureWriter::Settings settings;
    settings.maxFileBytes = bytes;
    return settings;
}

CCaptureWriter::Settings QueueLimit(size_t bytes) {
    CCaptureWriter::Settings settings;
    settings.maxQueuedBytes = bytes;
    return settings;
}

// A capture with the header "TWCAP 1 test" written into a scratch folder of its own.
struct CScratchCapture {
    CScratchCapture(const std::string& folderName, CCaptureWriter::Settings settings)
        : folder(folderName) {
        settings.folder = folder.Path();
        std::string failure;
        writer = CCaptureWriter::Open(settings, "TWCAP 1 test", name, failure);
        EXPECT_NE(writer, nullptr) << failure;
    }
    // The file as it stands once the writer has closed it.
    std::string CloseAndRead(std::uint32_t ms) {
        writer->Close(ms, capture::kClosed, "dispatched=0 unread=0");
        writer.reset();
        return ReadFileText(fs::path(folder.Path()) / name);
    }

    CTempFolder folder;
    std::string name;
    std::unique_ptr<CCaptureWriter> writer;
};

TEST(CaptureWriter, StopsAtItsSizeLimitWithARecordSayingSo) {
    CScratchCapture scratch("twcap-limit", FileLimit(1000));
    ASSERT_NE(scratch.writer, nullptr);
    for (int i = 0; i < 100; ++i) {
        scratch.writer->Push(static_cast<std::uint32_t>(i), capture::kReceived,
                             std::string(40, 'x'), true);
    }
    const std::string text = scratch.CloseAndRead(100);
    EXPECT_LE(text.size(), 1000u);
    const std::vector<std::string> lines = LinesOf(text);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines.front(), "TWCAP 1 test");
    EXPECT_NE(lines.back().find(" limit 1000"), std::string::npos) << lines.back();
}

TEST(CaptureWriter, RecordsBeyondItsQueueAreCountedNotWritten) {
    CScratchCapture scratch("twcap-queue", QueueLimit(100));
    ASSERT_NE(scratch.writer, nullptr);
    for (int i = 0; i < 10; ++i) {
        scratch.writer->Push(1, capture::kSent, std::string(40, 'y'), true);
    }
    const std::string text = scratch.CloseAndRead(2);
    EXPECT_NE(text.find(" dropped "), std::string::npos) << text;
    EXPECT_NE(text.find(" close dispatched=0"), std::string::npos);
}

// A capture holds balances and account numbers: the folders made for it are its owner's alone.
// (Windows has no permission bits; there the folders take their parent's permissions.)
TEST(CaptureWriter, FoldersItMakesAreForTheirOwnerOnly) {
    CTempFolder folder("twcap-made");
    CCaptureWriter::Settings settings;
    settings.folder = folder.Path() + "/made/deeper";
    std::string name;
    std::string failure;
    auto writer = CCaptureWriter::Open(settings, "TWCAP 1 test", name, failure);
    ASSERT_NE(writer, nullptr) << failure;
    writer.reset();
    const fs::perms others = fs::perms::group_all | fs::perms::others_all;
    for (const char* made : {"made", "made/deeper"}) {
        const fs::perms bits = fs::status(fs::path(folder.Path()) / made).permissions();
        EXPECT_EQ(bits & fs::perms::owner_all, fs::perms::owner_all) << made;
        EXPECT_EQ(bits & others, fs::perms::none) << made;
    }
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
    const std::string text = ReadFileText(files[0]);
    EXPECT_EQ(text.find("s3cret"), std::string::npos);
    EXPECT_NE(text.find("trader\\x01trader\\x01***\\x01"), std::string::npos);
    EXPECT_NE(text.find(" commit after="), std::string::npos);
    EXPECT_NE(text.find(" pass=1\n"), std::string::npos);  // the paced default

    // One dispatch record per message: the greeting, the login's, the order's and the quote.
    EXPECT_EQ(text.rfind("TWCAP 2 ", 0), 0u);
    EXPECT_EQ(CountOf(text, " dispatch "), 1 + LoginLines().size() + 3);
    EXPECT_NE(text.find(" dispatch 9002\n"), std::string::npos);

    // The file as this version wrote it, and as the first format wrote the same session:
    // no dispatch records, and the older magic.
    std::string version1 = "TWCAP 1" + text.substr(std::string("TWCAP 2").size());
    for (size_t at = version1.find(" dispatch "); at != std::string::npos;
         at = version1.find(" dispatch ")) {
        const size_t start = version1.rfind('\n', at) + 1;
        version1.erase(start, version1.find('\n', at) + 1 - start);
    }
    // Each loaded from the text, from a stream that seeks (its received bytes read again as
    // they are appended) and from one that cannot.
    const std::string loads[] = {text, text, text, version1, version1, version1};
    for (size_t way = 0; way < std::size(loads); ++way) {
        SCOPED_TRACE(way);
        const std::string& file = loads[way];
        CCaptureReplay replay;
        std::string error;
        std::istringstream seekable(file);
        COneWayBuffer oneWay(file);
        std::istream pipe(&oneWay);
        ASSERT_TRUE(way % 3 == 0   ? replay.Load(file, error)
                    : way % 3 == 1 ? replay.Load(seekable, error)
                                   : replay.Load(pipe, error))
            << error;
        replay.KeepMessages(way % 3 != 1);
        CRecordingSink replayed;
        replay.Run(replayed, false);
        EXPECT_TRUE(replay.Closed());
        EXPECT_EQ(replay.DispatchTimes().size(), file == text ? 1 + LoginLines().size() + 3 : 0u);
        // Only the summary of a long capture needs every message's times.
        EXPECT_EQ(replay.Messages().size() == 1, way % 3 == 1);
        std::vector<std::string> lines = replayed.Lines();
        // The fixture's greeting came before the test's part of the session.
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.front(), "OnTextMessage \"welcome\"");
        lines.erase(lines.begin());
        EXPECT_EQ(lines, live);
    }
}

// A terminal that commits from inside a callback: the message in dispatch is counted before
// the commit, so the replay applies the order after that message, not before it, and the
// message is still matched against the order committed earlier.
TEST_F(CaptureSessionTest, AnOrderCommittedFromACallbackIsReplayedAfterTheMessageThatCausedIt) {
    ASSERT_TRUE(manager->ReqLogin(L"trader", L"pw"));
    ASSERT_TRUE(server.WaitForLines(1, kWait));
    (void)PlayLogin();
    const COrderInfo first = Request(64);
    COrderInfo second = Request(64);
    second.InternalNo = first.InternalNo + 1;
    second.Value14 = 1.4f;
    std::atomic<bool> committed{false};
    sink.SetOnEntry([this, &second, &committed](const std::string& line) {
        if (line.rfind("OnOrderAdded", 0) == 0 && !committed.exchange(true)) {
            (void)manager->CommitBill(second);
        }
    });
    Commit(first);
    ASSERT_TRUE(server.Send(OrderEventLine(7002, first)));
    ASSERT_TRUE(server.WaitForLines(3, kWait));
    ASSERT_TRUE(server.Send(OrderEventLine(7002, second)));
    const auto added = [this] {
        const std::vector<std::string> lines = sink.Lines();
        return std::count_if(lines.begin(), lines.end(), [](const std::string& line) {
            return line.rfind("OnOrderAdded", 0) == 0;
        });
    };
    ASSERT_TRUE(Eventually([&added] { return added() == 2; }, kWait));
    manager->DisConnect();
    sink.SetOnEntry(nullptr);
    const std::vector<std::string> live = sink.Lines();

    const std::vector<fs::path> files = captureFolder.Files();
    ASSERT_EQ(files.size(), 1u);
    const std::string text = ReadFileText(files[0]);
    // The second commit follows the dispatch record of the reply whose callback made it, and
    // counts that reply.
    size_t dispatches = 0;
    std::vector<std::string> afters;
    for (const std::string& line : LinesOf(text)) {
        capture::Line record;
        if (!capture::SplitLine(line, record)) {
            continue;
        }
        dispatches += record.kind == capture::kDispatched ? 1 : 0;
        if (record.kind == capture::kCommitted) {
            afters.push_back(std::string(record.payload.substr(0, record.payload.find(' '))));
            afters.push_back("after=" + std::to_string(dispatches));
        }
    }
    ASSERT_EQ(afters.size(), 4u);
    EXPECT_EQ(afters[2], afters[3]);

    CCaptureReplay replay;
    std::string error;
    ASSERT_TRUE(replay.Load(text, error)) << error;
    CRecordingSink replayed;
    replay.Run(replayed, false);
    std::vector<std::string> lines = replayed.Lines();
    ASSERT_FALSE(lines.empty());
    lines.erase(lines.begin());
    EXPECT_EQ(lines, live);
}

TEST_F(CaptureSessionTest, NoSpellingOfAPasswordReachesTheFile) {
    // Each login's password is two tokens around a byte the wire, the line or the text treats
    // specially; the user names hold the same bytes, which once moved the mask.
    const std::vector<std::wstring> specials = {
        std::wstring(1, L'\x01'), L"\x03",        L"\x04", L"\x05", L"\r", L"\n",
        std::wstring(1, L'\0'),   L"\x5BC6\x7801"};
    std::vector<std::string> tokens;
    std::vector<std::string> spellings;
    for (size_t i = 0; i < specials.size(); ++i) {
        const std::string first = "Pw" + std::to_string(i) + "head";
        const std::string second = "Pw" + std::to_string(i) + "tail";
        const std::wstring password = ToWide(first) + specials[i] + ToWide(second);
        const std::wstring user = L"us" + specials[i] + L"er";
        ASSERT_TRUE(manager->ReqLogin(ToCString(user), ToCString(password)));
        tokens.push_back(first);
        tokens.push_back(second);
        const std::string bytes = WideToAnsi(ToCString(password));
        spellings.push_back(bytes);
        std::string escaped;
        capture::AppendEscaped(escaped, bytes);
        spellings.push_back(escaped);
    }
    ASSERT_TRUE(Eventually([&] { return manager->SendQueueSize() == 0; }, kWait));
    manager->DisConnect();

    const std::vector<fs::path> files = captureFolder.Files();
    ASSERT_EQ(files.size(), 1u);
    const std::string text = ReadFileText(files[0]);
    EXPECT_EQ(CountOf(text, "***"), specials.size()) << text;
    for (const std::string& token : tokens) {
        EXPECT_EQ(text.find(token), std::string::npos) << token << " in\n" << text;
    }
    for (const std::string& spelling : spellings) {
        EXPECT_EQ(text.find(spelling), std::string::npos) << spelling;
    }
}

// A connection object and the loopback server, without a session played.
using CaptureConnectionTest = LoopbackConnectionTest<CRecordingSink>;

// A folder that is missing is made; one that still cannot be made is named on standard error,
// with the system's reason, once for each connection, and the connection works without it.
TEST_F(CaptureConnectionTest, AMissingFolderIsMadeAndAnUnusableOneIsNamedOncePerConnection) {
    CTempFolder folder("twcap-folders");
    const std::string missing = folder.Path() + "/not/there";
    ::setenv("TRADEWIRE_CAPTURE_DIR", missing.c_str(), 1);
    EXPECT_TRUE(Connect());
    manager->DisConnect();
    EXPECT_EQ(CTempFolder::FilesIn(missing).size(), 1u);

    std::ofstream(fs::path(folder.Path()) / "file") << "a file, not a folder";
    const std::string unusable = folder.Path() + "/file/capture";
    ::setenv("TRADEWIRE_CAPTURE_DIR", unusable.c_str(), 1);
    testing::internal::CaptureStderr();
    for (int connection = 1; connection <= 2; ++connection) {
        EXPECT_TRUE(Connect());
        ASSERT_TRUE(server.WaitForHandshakes(connection + 1, kCaptureWait));
        EXPECT_TRUE(server.Send(InboundLine(9002, "hello")));
        EXPECT_TRUE(sink.WaitFor(static_cast<size_t>(connection), kCaptureWait));
        manager->DisConnect();
    }
    const std::vector<std::string> lines = LinesOf(testing::internal::GetCapturedStderr());
    ::unsetenv("TRADEWIRE_CAPTURE_DIR");
    EXPECT_EQ(sink.Lines(),
              (std::vector<std::string>{"OnTextMessage \"hello\"", "OnTextMessage \"hello\""}));
    ASSERT_EQ(lines.size(), 2u);
    const std::string named = "\"" + unusable + "\" cannot be written: ";
    EXPECT_NE(lines[0].find(named), std::string::npos) << lines[0];
    EXPECT_GT(lines[0].size(), lines[0].find(named) + named.size()) << "no reason given";
}

// CommitBill from one thread while another connects and disconnects, capture on: the writer
// must never go away under a commit being recorded, and every record stays whole.
TEST_F(CaptureConnectionTest, CommitsWhileAnotherThreadReconnects) {
    constexpr int kCommits = 10000;
    constexpr int kReconnects = 20;
    CTempFolder folder("twcap-commits");
    ::setenv("TRADEWIRE_CAPTURE_DIR", folder.Path().c_str(), 1);
    std::atomic<int> commits{0};
    std::atomic<int> reconnects{0};
    const auto done = [&] {
        return commits.load() >= kCommits && reconnects.load() >= kReconnects;
    };
    std::thread committer([&] {
        COrderInfo order = SessionRequest(60, 0);
        while (!done()) {
            order.InternalNo = commits.load();
            manager->CommitBill(order);
            // Spread over the reconnections rather than queued all at once.
            if (++commits % 8 == 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        }
    });
    while (!done()) {
        EXPECT_TRUE(Connect());
        manager->DisConnect();
        ++reconnects;
    }
    committer.join();
    ::unsetenv("TRADEWIRE_CAPTURE_DIR");

    EXPECT_EQ(folder.Files().size(), static_cast<size_t>(reconnects.load()));
    size_t recorded = 0;
    for (const fs::path& file : folder.Files()) {
        const std::vector<std::string> lines = LinesOf(ReadFileText(file));
        ASSERT_GE(lines.size(), 2u) << file;
        EXPECT_NE(lines.back().find(" close dispatched="), std::string::npos) << file;
        for (const std::string& line : lines) {
            capture::Line record;
            if (!capture::SplitLine(line, record) || record.kind != capture::kCommitted) {
                continue;
            }
            COrderInfo read;
            const size_t space = record.payload.find(' ');
            ASSERT_NE(space, std::string::npos) << line;
            EXPECT_TRUE(CaptureRecords::DecodeOrder(record.payload.substr(space + 1), read));
            EXPECT_EQ(read.MerchCode, L"EURUSD");
            ++recorded;
        }
    }
    RecordProperty("commits", commits.load());
    RecordProperty("commits_recorded", static_cast<int>(recorded));
    EXPECT_GT(recorded, 0u);
}

}  // namespace
