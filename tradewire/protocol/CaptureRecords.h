#pragma once
// The payloads of the capture records that need the protocol's knowledge: the login frame with
// its password masked, and the committed order written as text and read back. Stateless; any
// thread.
//
// An order is written as its fields in declaration order, "Name=value" separated by spaces:
//   AccountCode=ACC1 MerchCode=EURUSD Value3= InternalNo=7 ... TriggerPrice1=1.0995 ...
// Texts keep printable ASCII but the backslash and write other characters as \uXXXX (\UXXXXXXXX
// above 0xFFFF); numbers are plain decimals, floats with the digits that read back the same.

#include <string>
#include <string_view>

#include "protocol/ForexProtocol.h"
#include "tradewire/Records.h"

namespace CaptureRecords {

// The frame as the capture shows it: the bytes of `hidden` (the login's password, as the
// request builder placed it) replaced by ***. An empty span leaves the frame as it is; a span
// past the frame's end hides what there is of it.
std::string MaskedFrame(std::string_view frame, CFrameSpan hidden);

std::string EncodeOrder(const COrderInfo& order);
// Fills `order` from EncodeOrder's text; fields not named keep their value. False on a field
// without '=' or a text with a bad escape.
bool DecodeOrder(std::string_view text, COrderInfo& order);

}  // namespace CaptureRecords
