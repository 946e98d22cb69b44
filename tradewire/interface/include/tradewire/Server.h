#pragma once
// The connection target and the library's error numbers. The numbers are part of the
// interface: the sink receives them as plain integers, and a server may send any number.

#include <stdint.h>

#include "tradewire/CString.h"

enum E_ErrorCode : int {
    EC_NoError = 0,
    EC_NotInitialized = 1,
    EC_SslObjectFailed = 2,
    EC_InvalidServer = 3,
    EC_ConnectFailed = 5,
    EC_ThreadFailed = 6,
    // The server's certificate was rejected, or a TRADEWIRE_CA_FILE, TRADEWIRE_SERVER_NAME or
    // TRADEWIRE_PIN_SHA256 setting could not be used. Only seen when one of them is set.
    EC_CertificateRejected = 7,
};

class CServer {
  public:
    CString Address;    // dotted IPv4 text; no host-name lookup is made
    uint32_t Port = 0;  // only the low 16 bits are used
};
