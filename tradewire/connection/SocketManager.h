#pragma once
// The connection object: one TLS connection to one trading server, three worker threads and
// the protocol object that owns the data center. Obtained through GetAbsTradewire, ended only
// by ReleaseObj.
//
// Threads:
//  - caller: every interface operation. ConnectServer and DisConnect are serialised by the
//    caller and never made from a sink callback (DisConnect joins the workers).
//  - send (ThreadSend): every 10 ms writes the queued frames in queue order.
//  - receive (ThreadRecv): TLS reads appended to the receive buffer, waiting without limit for
//    data; it pauses only while the buffer holds a line the processing thread can take, and
//    reads what is already waiting before it pauses between reads. When a read fails, the
//    server closes or a message outgrows kReceiveCeiling, it reads no more until DisConnect and
//    reports the break once every whole message received before it has been dispatched
//    (ReportReadEnd): the failure every pass until DisConnect, 10040 once.
//  - processing (ThreadPara): every 30 ms cuts one message off the receive buffer and
//    dispatches it (up to TRADEWIRE_MESSAGES_PER_PASS of them, one after another, when that
//    is set); sink callbacks of the message handlers run here.
// With TRADEWIRE_PACE=immediate (read at each ConnectServer) no worker runs in fixed passes or
// sleeps for a fixed time while there is work: sending sleeps on m_wakeSend until a frame is
// queued; processing sleeps on m_wakePara until the reader has appended a whole message, then
// dispatches every whole one; the reader waits on the socket alone, and instead of pausing at
// the buffer limit sleeps on m_wakeRecv until processing has drained below it. Idle, all three
// sleep. DisConnect sets the three events and shuts the socket down, which wakes every wait.
// Only a broken connection is timed: a failed write is tried again after 10 ms and the reader
// repeats its report after 100 ms, the fastest the paced workers report.
//
// Locks:
//  - m_csServer guards m_server, for GetServer from any thread while ConnectServer runs; a leaf.
//  - m_csSendQueue guards m_sendQueue and is held only for a push, a copy or a pop: never
//    while writing, never while the sink is called, never while another lock is taken.
//  - m_csSendPass is held by a send pass around its writes, so frames leave in queue order even
//    if a pass is run from another thread; it is released before an error is reported and is
//    never taken inside m_csRecvBuffer.
//  - m_csRecvBuffer guards m_recvBuffer; the processing pass holds it for a whole dispatch
//    (sink callbacks included), so a callback that queues a request takes m_csSendQueue inside
//    it, which is the only nesting of these locks.
//  - m_csTls is held around each single TLS read or write call and nothing else is taken
//    inside it: the TLS library does not allow one connection to be used by two threads at
//    once (a reader handling the server's post-handshake messages while the writer sends
//    corrupts the connection). So the socket is non-blocking once the handshake is done and
//    both threads wait for readiness outside the lock; to the caller the reader still waits
//    without limit and a frame is still written whole.
// m_tls, m_context and m_socket change only on the caller's thread while no worker runs.

#include <atomic>
#include <deque>
#include <memory>
#include <string>
#include <thread>

#include "connection/ConnectionCapture.h"
#include "connection/ConnectionPace.h"
#include "connection/ServerVerification.h"
#include "connection/SslApi.h"
#include "connection/TlsObjects.h"
#include "platform/ModuleHandle.h"
#include "platform/SocketHandle.h"
#include "platform/WakeEvent.h"
#include "protocol/ForexProtocol.h"
#include "protocol/ReceiveBuffer.h"
#include "tradewire/AbsForexManager.h"
#include "tradewire/CriticalSection.h"
#include "tradewire/TradewireExport.h"

class TRADEWIRE_EXPORT CSocketManager : public CAbsForexManager {
  public:
    // The most bytes the receive buffer holds, far above any real message (a list of 10 000
    // instruments is about 2.3 MB). A message that would grow the buffer past it is dropped and
    // ends the reading: see CallBackThreadRecv.
    static constexpr size_t kReceiveCeiling = wire::kReceiveCeiling;

    // `receiveCeiling` other than kReceiveCeiling is for tests, which cannot send 64 MiB.
    explicit CSocketManager(size_t receiveCeiling = kReceiveCeiling);
    virtual ~CSocketManager();
    CSocketManager(const CSocketManager&) = delete;
    CSocketManager& operator=(const CSocketManager&) = delete;

    // The interface, in slot order.
    void ReleaseObj() override;
    void SetNotify(CAbsForexNotify* notify) override;
    void UnSetNotify() override;
    bool ConnectServer(const CServer& server) override;
    void DisConnect() override;
    bool ReqLogin(const CString& user, const CString& password) override;
    bool ReqLogOut(const CString& user, const CString& unused) override;
    bool CommitBill(const COrderInfo& order) override;
    bool ReqHistoryOrderInfo(long from, long to) override;
    CForexDataCenter* GetDataCenter() override;
    void GetServer(CServer& server) override;

    // Diagnostics, any thread: the last error set on the caller's thread, the connected flag,
    // and copies each taken under its lock.
    E_ErrorCode GetErrorCode() const { return m_errorCode; }
    bool IsConnected() const { return m_bConnected.load(); }
    std::string CopyReceiveBuffer();
    size_t ReceiveBufferCapacity();
    size_t SendQueueSize();

  private:
    // Tests reach the protocol object and the send queue through this, defined only there.
    friend struct SocketManagerTestAccess;

    void SetErrorCode(E_ErrorCode code);
    // The socket error to the sink, while still connected, once the backlog is drained: nothing
    // is reported while a whole message waits in the receive buffer, so a terminal that
    // disconnects on the report has been given everything received before the break. Then one
    // processing pass, as ever, and the callback. True when the sink was told (or would have
    // been, had one been set). Runs on the send or receive thread holding no lock.
    bool OnNetError(unsigned long error);
    // True when the receive buffer holds no whole message: what is left is the start of one that
    // can no longer end, or nothing. Any thread; takes the receive-buffer lock.
    bool IsBacklogDrained();
    // Ends the reading with `error` (reported on every pass, or once) and reports it as below.
    // Receive thread only.
    void EndReading(unsigned long error, bool reportOnce);
    // After the reading has ended: reports the break through OnNetError once the backlog is
    // drained, on every call after that (a failure) or on the first only (a message too long).
    // Receive thread only.
    void ReportReadEnd();

    bool StartThreadSend();
    void StopThreadSend();
    bool StartThreadRecv();
    void StopThreadRecv();
    bool StartThreadPara();
    void StopThreadPara();
    static unsigned ThreadSend(void* self);
    static unsigned ThreadRecv(void* self);
    static unsigned ThreadPara(void* self);
    // A worker thread's body at the connection's pace: `immediate`, or `pass` every `pauseMs`
    // for as long as the connection lasts.
    template <class PassResult>
    unsigned RunWorker(void (CSocketManager::*immediate)(), PassResult (CSocketManager::*pass)(),
                       unsigned pauseMs);
    // The immediate pace's worker loops.
    void RunSendImmediate();
    void RunRecvImmediate();
    void RunParaImmediate();
    // True when a write failed; the frame stays first in the queue.
    bool CallBackThreadSend();
    void CallBackThreadRecv();
    void CallBackThreadPara();
    // Immediate pace: dispatches every whole message, one lock each, until none is left or
    // the connection is closed. Processing thread only.
    void DispatchAllWaiting();
    // Immediate pace, receive thread: sleeps until the receive buffer is below `limit` or
    // holds no whole message, or the connection is closed.
    void WaitForProcessing(size_t limit);
    // Sleeps on `event` until `pauseMs` has passed, waking early only for DisConnect.
    void PauseUnlessClosed(CWakeEvent& event, unsigned pauseMs);
    // Counts one return from a wait or pause of a worker.
    void CountWakeUp() { m_wakeUps.fetch_add(1, std::memory_order_relaxed); }

    // Queues one frame (without its line end); an empty frame is ignored. `hidden` is the part
    // a capture must not show. Any thread.
    void AddSendData(const std::string& frame, const CFrameSpan& hidden = CFrameSpan());
    // Writes one frame and its line end through TLS: the write's result, -1 without a TLS
    // connection. Send thread only.
    int SSLSendData(const char* data, int length);

    bool Initialize();
    // Makes socket, context and TLS connection and runs the handshake, all inside one 15 s
    // deadline counted from the start of connect, whatever the server sends or withholds; false
    // after reporting the failure. Leaves nothing behind when it fails; on success the three
    // are moved into m_socket, m_context and m_tls. The socket is non-blocking throughout and
    // stays so for the workers. `verification` is applied to the TLS objects and judges the
    // server before anything is kept.
    bool OpenTransport(std::uint32_t address, std::uint16_t port,
                       const CServerVerification& verification);
    // The checks the environment asks for this attempt, with their entry points looked up:
    // false after reporting 7 (unusable setting) or 1 (entry points missing).
    bool ReadVerification(CVerificationSettings& settings);
    static bool WaitForConnection(SocketApi::Handle socket, std::uint32_t startMs);
    // Drives the TLS handshake, waiting for readiness for no longer than the deadline leaves.
    bool Handshake(SSL* tls, SocketApi::Handle socket, std::uint32_t startMs);
    // One TLS read into `buffer`, waiting for data without limit; on a result <= 0, `error` is
    // the Winsock number (0 for a clean close). Receive thread only.
    int TlsRead(char* buffer, int size, unsigned long& error);
    bool HasPendingPlaintext();
    // True when a read would find bytes at once: plaintext already decrypted, or bytes (or a
    // failure) on the socket. Receive thread only.
    bool HasBytesWaiting();
    void ReleaseTransport();
    CAbsForexNotify* Sink() const { return m_pNotify.load(); }

    // The modules come first and the table second, so that they go last: every TLS object is
    // freed through them.
    CModuleHandle m_sslModule;
    CModuleHandle m_cryptoModule;
    CSslApi m_ssl;  // filled by Initialize, then only read
    // Filled by the first attempt that asks for a server check; caller's thread only.
    CVerifyApi m_verifyApi;
    bool m_verifyApiResolved = false;
    CTlsContext m_context;
    CTlsConnection m_tls;
    CSocketHandle m_socket;
    std::atomic<bool> m_bConnected{false};
    bool m_bInitialized = false;
    std::atomic<CAbsForexNotify*> m_pNotify{nullptr};
    std::unique_ptr<CForexProtocol> m_pProtocol;
    E_ErrorCode m_errorCode = EC_NoError;  // caller's thread only
    CServer m_server;                      // guarded by m_csServer
    std::thread m_threadRecv;
    std::thread m_threadSend;
    std::thread m_threadPara;
    // One frame waiting to be written, and the part of it a capture must not show.
    struct CQueuedFrame {
        std::string bytes;
        CFrameSpan hidden;
    };
    std::deque<CQueuedFrame> m_sendQueue;  // guarded by m_csSendQueue
    CCriticalSection m_csServer;
    CCriticalSection m_csSendQueue;
    CCriticalSection m_csSendPass;
    // Guarded by m_csRecvBuffer. Emptied, its storage given back, by ConnectServer and by
    // DisConnect once the workers are joined.
    CReceiveBuffer m_recvBuffer;
    const size_t m_recvCeiling;
    // How the reading ended. Set by the receive thread, cleared by ConnectServer before the
    // workers start; only that thread reads it.
    struct CReadEnd {
        bool ended = false;
        unsigned long error = 0;  // the Winsock number reported
        bool reportOnce = false;  // a message too long is reported once, a failure every pass
        bool reported = false;
    };
    CReadEnd m_readEnd;
    // Read from the environment by ConnectServer before the workers start; the processing
    // pass (on whichever thread runs it) and the receive pass, whose buffer limit scales with
    // it, only read it.
    int m_messagesPerPass = 1;
    EConnectionPace m_pace = EConnectionPace::Paced;  // as m_messagesPerPass
    // The immediate pace's wake-ups: of the send thread (a frame queued), of the receive
    // thread (processing drained the buffer), of the processing thread (a whole message
    // appended). DisConnect sets all three; ConnectServer resets them before the workers start.
    CWakeEvent m_wakeSend;
    CWakeEvent m_wakeRecv;
    CWakeEvent m_wakePara;
    // Set by the receive thread while it waits for processing, so that processing wakes it
    // only then.
    std::atomic<bool> m_recvHeld{false};
    // How often a worker returned from a wait or pause, for tests: an idle connection at the
    // immediate pace adds nothing.
    std::atomic<std::uint64_t> m_wakeUps{0};
    CCriticalSection m_csRecvBuffer;
    CCriticalSection m_csTls;
    unsigned long m_sendError = 0;  // send thread only: the error of the last failed write
    // Opened by ConnectServer and closed by DisConnect on the caller's thread while no worker
    // runs; its recording calls are for the threads named on each and take only its own
    // writer's queue lock, a leaf (inside m_csRecvBuffer when the receive thread appends).
    CConnectionCapture m_capture;
};
