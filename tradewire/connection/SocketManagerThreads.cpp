#include <cstring>

#include "connection/SocketManager.h"
#include "datacenter/NotifySink.h"
#include "platform/SteadyClock.h"
#include "platform/WakeEvent.h"
#include "platform/WorkerThread.h"

namespace {

constexpr unsigned kSendPauseMs = 10;
constexpr unsigned kRecvPauseMs = 100;
constexpr unsigned kReadPauseMs = 10;
constexpr unsigned kParaPauseMs = 30;
constexpr size_t kRecvBufferLimit = 5000;
constexpr int kReadChunk = 4098;
constexpr char kOutboundLineEnd = '\x0A';
constexpr int kReadinessRetryMs = 10;

}  // namespace

bool CSocketManager::StartThreadSend() {
    StopThreadSend();
    return WorkerThread::Start(m_threadSend, &CSocketManager::ThreadSend, this);
}

void CSocketManager::StopThreadSend() {
    WorkerThread::Join(m_threadSend);
}

bool CSocketManager::StartThreadRecv() {
    StopThreadRecv();
    return WorkerThread::Start(m_threadRecv, &CSocketManager::ThreadRecv, this);
}

void CSocketManager::StopThreadRecv() {
    WorkerThread::Join(m_threadRecv);
}

bool CSocketManager::StartThreadPara() {
    StopThreadPara();
    return WorkerThread::Start(m_threadPara, &CSocketManager::ThreadPara, this);
}

void CSocketManager::StopThreadPara() {
    WorkerThread::Join(m_threadPara);
}

// The shape every worker shares: at the immediate pace its own loop; otherwise nothing if the
// connection is already gone, else one pass and one pause for as long as the connected flag
// stays set. Inline, so that its instantiations stay hidden: unoptimised builds do not fold it
// into the three workers, and the class is exported.
template <class PassResult>
inline unsigned CSocketManager::RunWorker(void (CSocketManager::*immediate)(),
                                          PassResult (CSocketManager::*pass)(), unsigned pauseMs) {
    if (m_pace == EConnectionPace::Immediate) {
        (this->*immediate)();
        return 0;
    }
    while (IsConnected()) {
        CountWakeUp();
        (this->*pass)();
        SteadyClock::SleepMs(pauseMs);
    }
    return 0;
}

unsigned CSocketManager::ThreadSend(void* self) {
    return static_cast<CSocketManager*>(self)->RunWorker(
        &CSocketManager::RunSendImmediate, &CSocketManager::CallBackThreadSend, kSendPauseMs);
}

unsigned CSocketManager::ThreadRecv(void* self) {
    return static_cast<CSocketManager*>(self)->RunWorker(
        &CSocketManager::RunRecvImmediate, &CSocketManager::CallBackThreadRecv, kRecvPauseMs);
}

unsigned CSocketManager::ThreadPara(void* self) {
    return static_cast<CSocketManager*>(self)->RunWorker(
        &CSocketManager::RunParaImmediate, &CSocketManager::CallBackThreadPara, kParaPauseMs);
}

void CSocketManager::RunSendImmediate() {
    while (IsConnected()) {
        if (CallBackThreadSend()) {
            // Retried no sooner than the paced sender would, so a broken connection is not
            // reported faster than it ever was.
            PauseUnlessClosed(m_wakeSend, kSendPauseMs);
            continue;
        }
        m_wakeSend.Wait(-1);
        CountWakeUp();
    }
}

void CSocketManager::RunRecvImmediate() {
    while (IsConnected()) {
        CallBackThreadRecv();
        if (!IsConnected()) {
            return;
        }
        if (!m_readEnd.ended) {
            // Only without a protocol object does a read round end while reading goes on:
            // there is nothing to read into, so sleep until DisConnect.
            m_wakeRecv.Wait(-1);
            CountWakeUp();
            continue;
        }
        if (m_readEnd.reported) {
            if (m_readEnd.reportOnce) {
                m_wakeRecv.Wait(-1);  // told once; nothing more to do until DisConnect
                CountWakeUp();
            } else {
                PauseUnlessClosed(m_wakeRecv, kRecvPauseMs);
            }
            continue;
        }
        // Not reported yet because whole messages still wait: processing wakes this thread
        // once it has drained them; the timeout only bounds a wake-up that went astray.
        m_recvHeld.store(true);
        if (!IsBacklogDrained()) {
            m_wakeRecv.Wait(static_cast<int>(kRecvPauseMs));
            CountWakeUp();
        }
        m_recvHeld.store(false);
    }
}

void CSocketManager::RunParaImmediate() {
    while (IsConnected()) {
        DispatchAllWaiting();
        m_wakePara.Wait(-1);
        CountWakeUp();
    }
}

void CSocketManager::PauseUnlessClosed(CWakeEvent& event, unsigned pauseMs) {
    const std::uint32_t startMs = SteadyClock::NowMs();
    for (;;) {
        const std::int32_t leftMs = static_cast<std::int32_t>(pauseMs) -
                                    SteadyClock::ElapsedMs(startMs, SteadyClock::NowMs());
        if (leftMs <= 0 || !IsConnected()) {
            return;
        }
        // Other wake-ups of the event fall into the pause: the round after it looks anyway.
        event.Wait(leftMs);
        CountWakeUp();
    }
}

void CSocketManager::AddSendData(const std::string& frame, const CFrameSpan& hidden) {
    if (frame.empty()) {
        return;
    }
    {
        CScopedLock guard(m_csSendQueue);
        m_sendQueue.push_back(CQueuedFrame{frame, hidden});
    }
    // Set after the push, so a sender that has just found the queue empty still wakes for it.
    m_wakeSend.Set();
}

bool CSocketManager::CallBackThreadSend() {
    unsigned long failure = 0;
    bool failed = false;
    {
        CScopedLock passGuard(m_csSendPass);
        while (m_bConnected.load()) {
            CQueuedFrame frame;
            {
                CScopedLock queueGuard(m_csSendQueue);
                if (m_sendQueue.empty()) {
                    break;
                }
                frame = m_sendQueue.front();
            }
            // The queue lock is not held across the write: requests made meanwhile only append
            // behind this frame, and only a send pass (serialised by m_csSendPass) removes.
            const int written =
                SSLSendData(frame.bytes.data(), static_cast<int>(frame.bytes.size()));
            if (written < 0) {
                failure = m_sendError;
                failed = true;
                break;  // the frame stays first in the queue for the next pass
            }
            m_capture.Sent(frame.bytes, frame.hidden);
            CScopedLock queueGuard(m_csSendQueue);
            m_sendQueue.pop_front();
        }
    }
    // Reported with no lock held, so the processing pass inside cannot meet a callback that is
    // queueing a request while holding the receive-buffer lock.
    if (failed) {
        OnNetError(failure);
    }
    return failed;
}

int CSocketManager::SSLSendData(const char* data, int length) {
    m_sendError = 0;
    if (m_tls == nullptr || length < 0) {
        return -1;
    }
    // One write of the frame and its line end, whatever the frame's length.
    std::string line;
    line.reserve(static_cast<size_t>(length) + 1);
    line.append(data, static_cast<size_t>(length));
    line += kOutboundLineEnd;
    for (;;) {
        int result = 0;
        int tlsError = SSL_ERROR_NONE;
        {
            CScopedLock guard(m_csTls);
            SocketApi::ClearLastError();
            result = m_ssl.Write(m_tls.get(), line.data(), static_cast<int>(line.size()));
            if (result > 0) {
                return result;
            }
            m_sendError = SocketApi::LastError();
            tlsError = m_ssl.GetError(m_tls.get(), result);
        }
        // Not written yet: wait for the socket and repeat the same write, as TLS requires.
        if (!m_bConnected.load()) {
            return -1;
        }
        if (tlsError == SSL_ERROR_WANT_WRITE) {
            SocketApi::WaitWritable(m_socket.Get(), -1);
        } else if (tlsError == SSL_ERROR_WANT_READ) {
            // The reader consumes what the write waits for; look again shortly.
            SocketApi::WaitReadable(m_socket.Get(), kReadinessRetryMs);
        } else {
            return result < 0 ? result : -1;
        }
    }
}

bool CSocketManager::HasPendingPlaintext() {
    CScopedLock guard(m_csTls);
    return m_ssl.Pending(m_tls.get()) > 0;
}

bool CSocketManager::HasBytesWaiting() {
    return HasPendingPlaintext() || SocketApi::WaitReadable(m_socket.Get(), 0) > 0;
}

int CSocketManager::TlsRead(char* buffer, int size, unsigned long& error) {
    for (;;) {
        int result = 0;
        int tlsError = SSL_ERROR_NONE;
        {
            CScopedLock guard(m_csTls);
            SocketApi::ClearLastError();
            result = m_ssl.Read(m_tls.get(), buffer, size);
            if (result > 0) {
                return result;
            }
            error = SocketApi::LastError();
            tlsError = m_ssl.GetError(m_tls.get(), result);
        }
        if (!m_bConnected.load()) {
            return result;
        }
        if (tlsError == SSL_ERROR_WANT_READ) {
            if (HasPendingPlaintext()) {
                continue;  // a write already pulled the data off the socket
            }
            // Shutting the socket down in DisConnect ends this wait too.
            SocketApi::WaitReadable(m_socket.Get(), -1);
            CountWakeUp();
        } else if (tlsError == SSL_ERROR_WANT_WRITE) {
            SocketApi::WaitWritable(m_socket.Get(), kReadinessRetryMs);
            CountWakeUp();
        } else {
            if (tlsError == SSL_ERROR_ZERO_RETURN) {
                error = 0;  // the server closed the connection cleanly
            }
            return result;
        }
    }
}

void CSocketManager::CallBackThreadRecv() {
    if (m_tls == nullptr || m_pProtocol == nullptr) {
        return;
    }
    if (m_readEnd.ended) {
        ReportReadEnd();
        return;
    }
    char chunk[kReadChunk + 1] = {};
    if (!m_bConnected.load()) {
        return;
    }
    const bool immediate = m_pace == EConnectionPace::Immediate;
    // A pass that may take N messages drains N times as fast: with the limit left at one
    // pass' worth, the 100 ms pause would hold the reader below the rate the processing thread
    // keeps up with, and a backlog could never be worked off.
    const size_t limit = kRecvBufferLimit * static_cast<size_t>(m_messagesPerPass);
    for (;;) {
        unsigned long error = 0;
        const int read = TlsRead(chunk, kReadChunk, error);
        if (read <= 0) {
            EndReading(error, false);  // nothing more can come
            return;
        }
        chunk[read] = '\0';
        // A zero byte ends what the server sent in this chunk; what follows it is dropped.
        const std::string_view bytes(chunk, std::strlen(chunk));
        bool assembling = false;
        bool full = false;
        {
            CScopedLock guard(m_csRecvBuffer);
            if (m_recvBuffer.Size() + bytes.size() > m_recvCeiling) {
                // The whole messages in front still go out one a pass; the one that outgrew
                // the ceiling is dropped, and its storage with it.
                m_recvBuffer.KeepFront(CForexProtocol::WholeMessagesSize(m_recvBuffer.View()));
                break;
            }
            m_recvBuffer.Append(bytes);
            m_capture.Received(bytes);
            // The processing thread can only take lines that have ended. Until one has, a
            // pause cannot let it drain anything and would only slow the long message down
            // (a 2.3 MB instrument list took 50 s at 4 KB per 100 ms); the ceiling above still
            // bounds the buffer.
            assembling = m_recvBuffer.FindLineEnd(wire::kServerLineEnd) == std::string_view::npos;
            full = !assembling && m_recvBuffer.Size() >= limit;
            if (full && !immediate) {
                return;  // the thread's pause lets the processing thread drain the buffer
            }
        }
        if (immediate) {
            if (!assembling) {
                m_wakePara.Set();
            }
            // Back-pressure: the server's bytes wait in the socket until processing catches up.
            if (full) {
                WaitForProcessing(limit);
            }
        } else if (!assembling && !HasBytesWaiting()) {
            // One read returns one TLS record, often a single short message: pausing after each
            // would cap the reader near 100 messages a second. What is already waiting is read
            // first; the pause only spaces out reads that would wait for the server.
            SteadyClock::SleepMs(kReadPauseMs);
        }
        if (!m_bConnected.load()) {
            return;
        }
    }
    // Reported once, after which this thread reads nothing more: the terminal is told of a
    // server it cannot follow and disconnects, instead of hearing of it every pass.
    EndReading(SocketApi::kMessageTooLong, true);
}

void CSocketManager::EndReading(unsigned long error, bool reportOnce) {
    m_readEnd.ended = true;
    m_readEnd.error = error;
    m_readEnd.reportOnce = reportOnce;
    // At the immediate pace the whole messages kept in front of a dropped one still need their
    // processing round.
    m_wakePara.Set();
    // What already came is delivered first, then the break.
    ReportReadEnd();
}

void CSocketManager::ReportReadEnd() {
    if (m_readEnd.reportOnce && m_readEnd.reported) {
        return;
    }
    // Each receive pass looks again, so the report follows the processing thread's last
    // dispatch by at most one receive pause, whatever the pace.
    if (OnNetError(m_readEnd.error)) {
        m_readEnd.reported = true;
    }
}

void CSocketManager::WaitForProcessing(size_t limit) {
    // Announced before the buffer is looked at: processing, which wakes this thread only while
    // it is announced, then cannot drain the buffer unseen between the look and the sleep.
    m_recvHeld.store(true);
    while (m_bConnected.load()) {
        {
            CScopedLock guard(m_csRecvBuffer);
            if (m_recvBuffer.Size() < limit ||
                !CForexProtocol::HasWholeMessage(m_recvBuffer.View())) {
                break;
            }
        }
        m_wakeRecv.Wait(-1);
        CountWakeUp();
    }
    m_recvHeld.store(false);
}

bool CSocketManager::IsBacklogDrained() {
    CScopedLock guard(m_csRecvBuffer);
    return !CForexProtocol::HasWholeMessage(m_recvBuffer.View());
}

void CSocketManager::DispatchAllWaiting() {
    if (m_pProtocol == nullptr) {
        return;
    }
    const size_t limit = kRecvBufferLimit * static_cast<size_t>(m_messagesPerPass);
    // Closing is looked at between messages, so DisConnect never waits behind a backlog.
    while (m_bConnected.load()) {
        bool belowLimit = false;
        {
            // One lock a message, as a paced pass takes it, so the reader appends in between.
            CScopedLock guard(m_csRecvBuffer);
            m_capture.Taking(m_recvBuffer);
            if (m_pProtocol->ProcessReceived(m_recvBuffer) == wire::Result::Incomplete) {
                break;
            }
            belowLimit = m_recvBuffer.Size() < limit;
        }
        if (belowLimit && m_recvHeld.load()) {
            m_wakeRecv.Set();
        }
    }
    // Drained: a reader waiting for that (to report a break) may go on.
    if (m_recvHeld.load()) {
        m_wakeRecv.Set();
    }
}

void CSocketManager::CallBackThreadPara() {
    if (m_pProtocol == nullptr) {
        return;
    }
    // The lock is taken for each message, so the reader can append between two of them.
    for (int i = 0; i < m_messagesPerPass; ++i) {
        CScopedLock guard(m_csRecvBuffer);
        m_capture.Taking(m_recvBuffer);
        if (m_pProtocol->ProcessReceived(m_recvBuffer) == wire::Result::Incomplete) {
            return;
        }
    }
}

bool CSocketManager::OnNetError(unsigned long error) {
    // The processing thread works the backlog off at its own pace meanwhile; the reporting
    // thread asks again on its next pass. A terminal that disconnects on the error, as
    // terminals do, would otherwise lose what the server sent before it closed.
    if (!IsBacklogDrained()) {
        return false;
    }
    // A message that arrived since is still delivered ahead of the error.
    CallBackThreadPara();
    if (!m_bConnected.load()) {
        return false;
    }
    NotifySink(Sink(), [&](CAbsForexNotify& sink) { sink.OnSocketError(error); });
    return true;
}

std::string CSocketManager::CopyReceiveBuffer() {
    CScopedLock guard(m_csRecvBuffer);
    return std::string(m_recvBuffer.View());
}

size_t CSocketManager::ReceiveBufferCapacity() {
    CScopedLock guard(m_csRecvBuffer);
    return m_recvBuffer.Capacity();
}

size_t CSocketManager::SendQueueSize() {
    CScopedLock guard(m_csSendQueue);
    return m_sendQueue.size();
}
