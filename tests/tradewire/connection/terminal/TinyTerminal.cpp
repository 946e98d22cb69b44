// A terminal in miniature, built only against the installed interface of the shared library
// (the tests' do-nothing sink adds no more than that interface):
// connects to 127.0.0.1:<port>, logs in as <user>/<password>, waits for the frame to leave and
// closes. Exit status 0 when every step worked.

#include <tradewire/Tradewire.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <thread>

#include <tradewire/ForexNotifyAdapter.h>

namespace {

class CQuietSink : public CForexNotifyAdapter {
  public:
    void OnErrorCode(int code) override { std::fprintf(stderr, "error code %d\n", code); }
    void OnSocketError(unsigned long error) override {
        std::fprintf(stderr, "socket error %lu\n", error);
    }
};

CString Widen(const char* text) {
    const std::wstring wide(text, text + std::strlen(text));
    return CString(wide.c_str(), static_cast<int>(wide.size()));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <port> <user> <password>\n", argv[0]);
        return 2;
    }
    CAbsForexManager* manager = GetAbsTradewire();
    if (manager == nullptr || manager->GetDataCenter() == nullptr) {
        std::fprintf(stderr, "no connection object\n");
        return 1;
    }
    CQuietSink sink;
    manager->SetNotify(&sink);
    CServer server;
    server.Address = L"127.0.0.1";
    server.Port = static_cast<std::uint32_t>(std::atoi(argv[1]));

    // The server may still be starting: a refused attempt is tried again for a while.
    bool connected = false;
    for (int attempt = 0; attempt < 50 && !connected; ++attempt) {
        connected = manager->ConnectServer(server);
        if (!connected) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
    const bool queued = connected && manager->ReqLogin(Widen(argv[2]), Widen(argv[3]));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    manager->DisConnect();
    manager->ReleaseObj();
    return connected && queued ? 0 : 1;
}
