// Faults the stream fuzzer found, each kept as an input under fuzz/regressions/fuzz_stream/ and
// pinned down here by name.

#include <gtest/gtest.h>

#include <string>

#include "FuzzReplay.h"
#include "protocol/ReceiveBuffer.h"

// The network cut the stream between the two bytes of a line end. The message before it was
// taken at once, and the late second byte became the first byte of the next message (shifting
// its length field) or, for a message joined with the next line, a byte inside its text.
TEST(StreamFuzzFindings, LineEndCutAfterItsFirstByte) {
    EXPECT_TRUE(ReplayFile(FUZZ_FINDINGS_DIR "/line-end-cut-after-0x0D"));

    CReceiveBuffer taken;
    taken.Append("message\r");
    taken.Consume(9);  // the message and its two-byte line end
    taken.Append("\nnext");
    EXPECT_EQ(taken.View(), "next");

    CReceiveBuffer joined;
    joined.Append("first\r");
    joined.EraseAt(5, 2);  // the line end of a message shorter than it declares
    joined.Append("\n");
    joined.Append("second");
    EXPECT_EQ(joined.View(), "firstsecond");

    CReceiveBuffer reconnected;
    reconnected.Append("last\r");
    reconnected.Consume(6);
    reconnected.Clear();  // a new connection owes nothing to the old one
    reconnected.Append("\nfresh");
    EXPECT_EQ(reconnected.View(), "\nfresh");
}
