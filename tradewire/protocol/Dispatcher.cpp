#include "ForexProtocol.h"
#include "ByteCursor.h"
#include "NumberText.h"

namespace {

constexpr size_t kLengthFieldSize = 6;
constexpr size_t kZeroFieldSize = 6;

}  // namespace

int CForexProtocol::Dispatch(std::string_view message) {
    const size_t messageSize = message.size();
    CByteCursor cursor(message);
    std::string_view header = cursor.Cut(CByteCursor::kHeaderEnd);
    const std::string_view body = cursor.Rest();

    const int declaredLength = ParseAtoi(header.substr(0, kLengthFieldSize));
    header.remove_prefix(std::min(header.size(), kLengthFieldSize));
    header.remove_prefix(std::min(header.size(), kZeroFieldSize));  // read and ignored
    if (static_cast<long long>(messageSize) < declaredLength) {
        return 0;
    }
    if (m_pDataCenter == nullptr) {
        return -1;
    }
    const int code = ParseAtoi(header);
    (void)code;
    (void)body;
    return 1;
}
