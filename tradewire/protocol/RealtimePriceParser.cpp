// Price ticks (9518): sections of quote records, each quote widened to its instrument's minimum
// spread and handed to the data center one by one, in message order.

#include <array>
#include <cmath>

#include "platform/NumberText.h"
#include "platform/TextCodec.h"
#include "protocol/ByteCursor.h"
#include "protocol/ForexProtocol.h"
#include "protocol/MinimumSpread.h"

namespace {

constexpr size_t kQuoteFields = 5;  // Bid, Ask, QuoteStamp, Price3, Price4: the last five

// The last five fields after the code, padded at the end with empty fields when there are
// fewer. A server may put extra fields between the code and these five; they are skipped.
// Text after the last 0x01 can never become a field; it is ignored rather than waited for, so
// a malformed record neither stalls the processing thread nor is lost whole.
std::array<std::string_view, kQuoteFields> LastQuoteFields(CByteCursor& record) {
    std::array<std::string_view, kQuoteFields> ring{};
    size_t collected = 0;
    while (record.Rest().find(wire::kFieldEnd) != std::string_view::npos) {
        ring[collected % kQuoteFields] = record.CutField();
        ++collected;
    }
    if (collected <= kQuoteFields) {
        return ring;  // in order from the first, the rest still empty
    }
    std::array<std::string_view, kQuoteFields> last{};
    for (size_t i = 0; i < kQuoteFields; ++i) {
        last[i] = ring[(collected + i) % kQuoteFields];
    }
    return last;
}

CForexRealtimePrice ReadQuote(CByteCursor& record) {
    CForexRealtimePrice quote;
    quote.MerchCode = record.CutText();
    const auto fields = LastQuoteFields(record);
    quote.Bid = ParseFloat(fields[0]);
    quote.Ask = ParseFloat(fields[1]);
    quote.QuoteStamp = AnsiToWide(fields[2]);
    quote.Price3 = ParseFloat(fields[3]);
    quote.Price4 = ParseFloat(fields[4]);
    return quote;
}

}  // namespace

wire::Result CForexProtocol::ParseRealtimePrices(std::string_view body) {
    if (body.empty() || m_pDataCenter == nullptr) {
        return wire::Result::NothingRead;
    }
    CDataCenterAccess center(*m_pDataCenter);
    CByteCursor sections(body);
    sections.ForEach(wire::kSectionEnd, [&](CByteCursor& section) {
        section.ForEach(wire::kRecordEnd, [&](CByteCursor& record) {
            CForexRealtimePrice quote = ReadQuote(record);
            const float spread = FindQuoteSpread(center, quote.MerchCode);
            // Beyond the float range the widened ask would be an infinity; it then stays as
            // the server sent it.
            const float widened = quote.Bid + spread;
            if (quote.Ask - quote.Bid < spread && std::isfinite(widened)) {
                quote.Ask = widened;
            }
            m_pDataCenter->OnRealtimePriceUpdate(quote);
        });
    });
    return wire::Result::Handled;
}
