#pragma once
// A loopback port that refuses connections for the life of the object: bound, never listening,
// and held, so no other test can take it meanwhile. Owned by the test that made it.

#include <cstdint>

#include "TestSockets.h"

class CRefusingPort {
  public:
    CRefusingPort() : m_socket(TestSockets::OpenRefusingLoopback(m_port)) {}
    ~CRefusingPort() {
        if (m_socket >= 0) {
            TestSockets::Close(m_socket);
        }
    }
    CRefusingPort(const CRefusingPort&) = delete;
    CRefusingPort& operator=(const CRefusingPort&) = delete;

    bool IsOpen() const { return m_socket >= 0; }
    std::uint16_t Port() const { return m_port; }

  private:
    std::uint16_t m_port = 0;
    int m_socket;
};
