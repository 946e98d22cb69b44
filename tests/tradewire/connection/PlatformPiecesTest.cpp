#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <thread>
#include <utility>

#include "connection/ConnectionPace.h"
#include "connection/MessagesPerPass.h"
#include "platform/SocketApi.h"
#include "platform/SocketHandle.h"
#include "platform/SteadyClock.h"
#include "platform/WakeEvent.h"

TEST(SocketErrors, SystemErrorsBecomeWinsockNumbers) {
    EXPECT_EQ(SocketApi::ToWinsockError(0), 0u);
    EXPECT_EQ(SocketApi::ToWinsockError(ECONNRESET), 10054u);
    EXPECT_EQ(SocketApi::ToWinsockError(EPIPE), 10054u);
    EXPECT_EQ(SocketApi::ToWinsockError(ECONNABORTED), 10053u);
    EXPECT_EQ(SocketApi::ToWinsockError(ECONNREFUSED), 10061u);
    EXPECT_EQ(SocketApi::ToWinsockError(ETIMEDOUT), 10060u);
    EXPECT_EQ(SocketApi::ToWinsockError(ENOTCONN), 10057u);
    EXPECT_EQ(SocketApi::ToWinsockError(EHOSTUNREACH), 10065u);
    EXPECT_EQ(SocketApi::ToWinsockError(ENETUNREACH), 10051u);
    EXPECT_EQ(SocketApi::ToWinsockError(EINPROGRESS), 10035u);
    EXPECT_EQ(SocketApi::ToWinsockError(EBADF), 10000u + EBADF);
}

TEST(SocketErrors, OnlyRealIpv4TextReadsAsAnAddress) {
    std::uint32_t address = 0;
    EXPECT_TRUE(SocketApi::ParseIpv4("127.0.0.1", address));
    EXPECT_EQ(address, htonl(0x7F000001u));
    EXPECT_FALSE(SocketApi::ParseIpv4("", address));
    EXPECT_FALSE(SocketApi::ParseIpv4("localhost", address));
    EXPECT_FALSE(SocketApi::ParseIpv4("1.2.3.4.5", address));
}

namespace {

// An open socket reports no pending error; a closed handle fails the query.
bool IsOpenSocket(SocketApi::Handle handle) {
    return SocketApi::PendingError(handle) == 0;
}

}  // namespace

TEST(SocketHandle, EachSocketIsClosedOnceByItsLastOwner) {
    SocketApi::Handle moved = SocketApi::kInvalidHandle;
    SocketApi::Handle replaced = SocketApi::kInvalidHandle;
    {
        CSocketHandle first(SocketApi::CreateStream());
        ASSERT_TRUE(first.IsValid());
        moved = first.Get();
        CSocketHandle second(std::move(first));
        EXPECT_FALSE(first.IsValid());
        EXPECT_EQ(second.Get(), moved);
        EXPECT_TRUE(IsOpenSocket(moved));

        CSocketHandle third(SocketApi::CreateStream());
        replaced = third.Get();
        third = std::move(second);  // closes what `third` held
        EXPECT_FALSE(IsOpenSocket(replaced));
        EXPECT_EQ(third.Get(), moved);
        EXPECT_TRUE(IsOpenSocket(moved));
    }
    EXPECT_FALSE(IsOpenSocket(moved));

    CSocketHandle kept(SocketApi::CreateStream());
    const SocketApi::Handle released = kept.Release();
    EXPECT_FALSE(kept.IsValid());
    EXPECT_TRUE(IsOpenSocket(released));
    SocketApi::Close(released);
}

TEST(SteadyClock, ElapsedTimeSurvivesTheCounterWrapping) {
    EXPECT_EQ(SteadyClock::ElapsedMs(0xFFFFFF00u, 0x00000100u), 0x200);
    EXPECT_EQ(SteadyClock::ElapsedMs(1000u, 16000u), 15000);
    EXPECT_LT(SteadyClock::ElapsedMs(2000u, 1000u), 0);  // a reading from before the start
}

TEST(WakeEvent, AWakeUpGivenBeforeTheWaitIsKeptAndTakenOnce) {
    CWakeEvent event;
    EXPECT_FALSE(event.Wait(0));
    event.Set();
    event.Set();  // two before a wait are one wake-up
    EXPECT_TRUE(event.Wait(0));
    EXPECT_FALSE(event.Wait(1));
    event.Set();
    event.Reset();
    EXPECT_FALSE(event.Wait(0));
    std::thread giver([&] { event.Set(); });
    EXPECT_TRUE(event.Wait(-1));
    giver.join();
}

TEST(ConnectionPace, OnlyTheExactWordImmediateLeavesThePacedDefault) {
    EXPECT_EQ(ConnectionPace::FromText("immediate"), EConnectionPace::Immediate);
    for (const char* text : {"", "paced", "Immediate", "IMMEDIATE", " immediate", "immediate ",
                             "immediately", "1", "fast"}) {
        EXPECT_EQ(ConnectionPace::FromText(text), EConnectionPace::Paced) << '"' << text << '"';
    }
}

TEST(MessagesPerPass, OnlyAPositiveWholeNumberRaisesThePaceAndNeverPastTheCap) {
    const std::pair<const char*, int> cases[] = {{"", 1},
                                                 {"0", 1},
                                                 {"-5", 1},
                                                 {"+", 1},
                                                 {"abc", 1},
                                                 {"12abc", 1},
                                                 {" 12", 1},
                                                 {"64", 64},
                                                 {"+64", 64},
                                                 {"0064", 64},
                                                 {"1024", 1024},
                                                 {"1025", 1024},
                                                 {"99999999999999999999999", 1024}};
    for (const auto& [text, pace] : cases) {
        EXPECT_EQ(MessagesPerPass::FromText(text), pace) << "'" << text << "'";
    }
}
