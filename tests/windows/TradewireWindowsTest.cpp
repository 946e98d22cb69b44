// The Windows side of Tradewire's platform layer: the capture files removed at construction,
// the OpenSSL module names of 64-bit Windows and the folders they are loaded from, and Winsock's
// reporting of a refused connection.
#include <gtest/gtest.h>

#include <winsock2.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "ConnectionFixture.h"
#include "RefusingPort.h"
#include "WindowsTestFolder.h"
#include "platform/ModuleLoader.h"
#include "platform/SocketApi.h"
#include "platform/SteadyClock.h"

namespace {

bool Exists(const char* path) {
    return ::GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

void Touch(const char* path) {
    std::FILE* file = std::fopen(path, "wb");
    ASSERT_NE(file, nullptr) << path;
    std::fputs("captured", file);
    std::fclose(file);
}

class CModuleNames {
  public:
    CModuleNames(const char* ssl, const char* crypto) {
        ::SetEnvironmentVariableA("TRADEWIRE_SSL_MODULE", ssl);
        ::SetEnvironmentVariableA("TRADEWIRE_CRYPTO_MODULE", crypto);
    }
    ~CModuleNames() {
        ::SetEnvironmentVariableA("TRADEWIRE_SSL_MODULE", nullptr);
        ::SetEnvironmentVariableA("TRADEWIRE_CRYPTO_MODULE", nullptr);
    }
    CModuleNames(const CModuleNames&) = delete;
    CModuleNames& operator=(const CModuleNames&) = delete;
};

// The current folder moved for one scope.
class CCurrentFolder {
  public:
    explicit CCurrentFolder(const std::wstring& folder) {
        wchar_t previous[MAX_PATH];
        ::GetCurrentDirectoryW(MAX_PATH, previous);
        m_previous = previous;
        ::SetCurrentDirectoryW(folder.c_str());
    }
    ~CCurrentFolder() { ::SetCurrentDirectoryW(m_previous.c_str()); }
    CCurrentFolder(const CCurrentFolder&) = delete;
    CCurrentFolder& operator=(const CCurrentFolder&) = delete;

  private:
    std::wstring m_previous;
};

std::wstring ModulePath(void* module) {
    wchar_t path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(static_cast<HMODULE>(module), path, MAX_PATH);
    return std::wstring(path, length < MAX_PATH ? length : 0);
}

std::wstring ProgramFolder() {
    const std::wstring program = ModulePath(nullptr);
    return program.substr(0, program.find_last_of(L'\\') + 1);
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return ::lstrcmpiW(a.c_str(), b.c_str()) == 0;
}

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());  // the test folders' paths are ASCII
}

}  // namespace

TEST(TradewireWindows, ConstructionRemovesTheCaptureFilesOnDriveC) {
    Touch("c:\\recv.txt");
    Touch("c:\\send.txt");
    CSocketManager* manager = new CSocketManager();
    EXPECT_FALSE(Exists("c:\\recv.txt"));
    EXPECT_FALSE(Exists("c:\\send.txt"));
    manager->ReleaseObj();

    // Absent files are no reason to fail, and only those two names are touched.
    Touch("c:\\recv.txt.keep");
    manager = new CSocketManager();
    EXPECT_NE(manager->GetDataCenter(), nullptr);
    EXPECT_TRUE(Exists("c:\\recv.txt.keep"));
    manager->ReleaseObj();
    std::remove("c:\\recv.txt.keep");
}

TEST(TradewireWindows, TheSixtyFourBitOpenSslThreeNamesLoadAndConnect) {
    CModuleNames names("libssl-3-x64.dll", "libcrypto-3-x64.dll");
    CTestTlsServer server;
    ASSERT_TRUE(server.Start());
    CSocketManager* manager = new CSocketManager();
    ASSERT_NE(manager->GetDataCenter(), nullptr);
    EXPECT_TRUE(manager->ConnectServer(LoopbackServer(server.Port())));
    EXPECT_TRUE(server.WaitForHandshakes(1, 10s));
    manager->DisConnect();
    manager->ReleaseObj();
}

TEST(TradewireWindows, AMismatchedPairIsNotLoaded) {
    // The old names first: a terminal shipping only one of them gets no half-loaded pair.
    CModuleNames names("ssleay32.dll", "libcrypto-3-x64.dll");
    CSocketManager* manager = new CSocketManager();
    EXPECT_EQ(manager->GetDataCenter(), nullptr);
    EXPECT_FALSE(manager->ConnectServer(LoopbackServer(1)));
    manager->ReleaseObj();
}

// A module planted in the current folder under the first names tried is never loaded: only
// the library's folder, the program's and the system's are searched.
TEST(TradewireWindows, ModulesPlantedInTheCurrentFolderAreNeverLoaded) {
    CWindowsTestFolder planted;
    const std::wstring fake(FAKE_TLS_MODULE, FAKE_TLS_MODULE + sizeof(FAKE_TLS_MODULE) - 1);
    for (const wchar_t* name : {L"ssleay32.dll", L"libeay32.dll"}) {
        ASSERT_TRUE(::CopyFileW(fake.c_str(), (planted / name).c_str(), FALSE));
    }
    ASSERT_FALSE(SamePath(planted.Path(), ProgramFolder()));
    {
        CCurrentFolder inPlanted(planted.Path());
        CModuleHandle ssl;
        CModuleHandle crypto;
        ASSERT_TRUE(ModuleLoader::LoadTlsModules(ssl, crypto));
        // Nothing under the first names beside the program: the OpenSSL 3 pair there is taken.
        EXPECT_TRUE(SamePath(ModulePath(ssl.Get()), ProgramFolder() + L"libssl-3-x64.dll"))
            << Narrow(ModulePath(ssl.Get()));
        EXPECT_TRUE(SamePath(ModulePath(crypto.Get()), ProgramFolder() + L"libcrypto-3-x64.dll"))
            << Narrow(ModulePath(crypto.Get()));
        ssl.Reset();
        crypto.Reset();

        CTestTlsServer server;
        ASSERT_TRUE(server.Start());
        CSocketManager* manager = new CSocketManager();
        EXPECT_TRUE(manager->ConnectServer(LoopbackServer(server.Port())));
        EXPECT_TRUE(server.WaitForHandshakes(1, 10s));
        manager->DisConnect();
        manager->ReleaseObj();

        // Named without a path by the override, they are still not looked for here.
        CModuleNames names("ssleay32.dll", "libeay32.dll");
        EXPECT_FALSE(ModuleLoader::LoadTlsModules(ssl, crypto));
    }
    EXPECT_FALSE(FileExists(planted / L"ssleay32.dll.loaded"));
    EXPECT_FALSE(FileExists(planted / L"libeay32.dll.loaded"));

    // A whole path in the override is used as given, wherever it points.
    CModuleNames given(Narrow(planted / L"ssleay32.dll").c_str(),
                       Narrow(planted / L"libeay32.dll").c_str());
    CModuleHandle ssl;
    CModuleHandle crypto;
    ASSERT_TRUE(ModuleLoader::LoadTlsModules(ssl, crypto));
    EXPECT_TRUE(SamePath(ModulePath(ssl.Get()), planted / L"ssleay32.dll"));
    ssl.Reset();
    crypto.Reset();
    EXPECT_TRUE(FileExists(planted / L"ssleay32.dll.loaded"));
}

TEST(TradewireWindows, ARefusedNonBlockingConnectIsReadyAndReportsTenThousandSixtyOne) {
    CSocketManager* started = new CSocketManager();  // starts Winsock
    CRefusingPort refusing;
    SocketApi::Handle handle = SocketApi::CreateStream();
    ASSERT_NE(handle, SocketApi::kInvalidHandle);
    ASSERT_TRUE(SocketApi::SetNonBlocking(handle, true));
    std::uint32_t address = 0;
    ASSERT_TRUE(SocketApi::ParseIpv4("127.0.0.1", address));
    const unsigned long started_error = SocketApi::Connect(handle, address, refusing.Port());
    unsigned long outcome = started_error;
    if (started_error == SocketApi::kWouldBlock) {
        // Winsock shows a failed connection in the exception set only; the wait must still end.
        int ready = 0;
        const std::uint32_t start = SteadyClock::NowMs();
        while (ready == 0 && SteadyClock::ElapsedMs(start, SteadyClock::NowMs()) < 10000) {
            ready = SocketApi::WaitWritable(handle, 1);
        }
        EXPECT_GT(ready, 0);
        outcome = SocketApi::PendingError(handle);
    }
    EXPECT_EQ(outcome, 10061u);
    SocketApi::Close(handle);
    started->ReleaseObj();
}

TEST(TradewireWindows, ParseIpv4TellsTheBroadcastAddressFromGarbage) {
    std::uint32_t address = 0;
    EXPECT_TRUE(SocketApi::ParseIpv4("255.255.255.255", address));
    EXPECT_EQ(address, 0xFFFFFFFFu);
    EXPECT_FALSE(SocketApi::ParseIpv4("256.1.1.1", address));
    EXPECT_FALSE(SocketApi::ParseIpv4("", address));
}
