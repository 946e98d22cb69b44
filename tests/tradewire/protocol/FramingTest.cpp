#include <gtest/gtest.h>

#include <random>
#include <string>

#include "RecordingSink.h"
#include "WireBuilder.h"
#include "protocol/ForexProtocol.h"
#include "vocabulary/WireVocabulary.h"

using wire::Result;

namespace {

const std::string kTextLine = std::string(
                                  "000022000000"
                                  "9002\x03"
                                  "abc\x01\x04") +
                              "\r\n";

class Framing : public ::testing::Test {
  protected:
    // Cuts messages off until none can be cut without more bytes.
    void Drain(CReceiveBuffer& buffer) {
        while (m_protocol.ProcessReceived(buffer) != Result::Incomplete) {
        }
    }

    CForexProtocol m_protocol;
    CReceiveBuffer m_buffer;
};

// A line a server might send: a whole frame, a frame whose declared length lies either way, or
// bytes that are no frame at all.
std::string RandomLine(std::mt19937& random) {
    static const char kAlphabet[] = "ab\x03\r\n0123456789";
    switch (random() % 3) {
        case 0:
            return kTextLine;
        case 1:
            return InboundMessage(9002, "x", static_cast<int>(random() % 60)) + "\r\n";
        default: {
            std::string bytes(random() % 20, 'a');
            for (char& byte : bytes) {
                byte = kAlphabet[random() % (sizeof(kAlphabet) - 1)];
            }
            return bytes + "\r\n";
        }
    }
}

}  // namespace

TEST(FramingPieces, PadLeftFillsWithZerosAndNeverCuts) {
    EXPECT_EQ(CForexProtocol::PadLeft("22", 6), "000022");
    EXPECT_EQ(CForexProtocol::PadLeft("", 6), "000000");
    EXPECT_EQ(CForexProtocol::PadLeft("1234567", 6), "1234567");
}

TEST(FramingPieces, CutFieldTakesUpToTheSeparatorOrNothing) {
    std::string text =
        "ab\x01"
        "cd";
    EXPECT_EQ(CForexProtocol::CutField(text, '\x01'), "ab");
    EXPECT_EQ(text, "cd");
    EXPECT_EQ(CForexProtocol::CutField(text, '\x01'), "");
    EXPECT_EQ(text, "cd");  // a field without its separator is never delivered
    std::string single = "a";
    EXPECT_EQ(CForexProtocol::CutField(single, '\x01'), "");
    EXPECT_EQ(single, "a");
}

TEST(FramingPieces, PackMessageCountsTheWholeFrameWithoutItsLineEnd) {
    const std::string frame = CForexProtocol::PackMessage(8001, "u\x01u\x01");
    EXPECT_EQ(frame, std::string("000022000000"
                                 "8001\x03"
                                 "u\x01u\x01\x04"));
    EXPECT_EQ(frame.size(), 22u);
    EXPECT_EQ(CForexProtocol::PackMessage(7, ""), std::string("000015000000"
                                                              "7\x03\x04"));
}

TEST_F(Framing, ACompleteLineIsConsumedWithItsLineEnd) {
    m_buffer.Append(kTextLine + "rest");
    EXPECT_EQ(m_protocol.ProcessReceived(m_buffer), Result::Handled);
    EXPECT_EQ(m_buffer.View(), "rest");
    EXPECT_EQ(m_protocol.ProcessReceived(m_buffer), Result::Incomplete);  // no 0x0D: left as it is
    EXPECT_EQ(m_buffer.View(), "rest");
}

TEST_F(Framing, ALineShorterThanDeclaredIsJoinedWithTheNextLine) {
    std::string shortLine = kTextLine;
    shortLine[5] = '3';  // declares 23 bytes, holds 22
    m_buffer.Append(shortLine + "x\r\n");
    EXPECT_EQ(m_protocol.ProcessReceived(m_buffer), Result::Handled);
    EXPECT_EQ(m_buffer.View(), shortLine.substr(0, 22) + "x\r\n");
    EXPECT_EQ(m_protocol.ProcessReceived(m_buffer), Result::Handled);  // 23 bytes now: consumed
    EXPECT_TRUE(m_buffer.IsEmpty());
}

TEST_F(Framing, AHugeDeclaredLengthHoldsBackTheLinesAfterIt) {
    CRecordingSink sink;
    m_protocol.GetDataCenter()->SetNotify(&sink);
    // Ten digits where six belong: whatever the declared length reads as, it is never negative
    // on either system, so the message waits and the complete lines after it join it instead
    // of being dispatched on their own.
    const std::string hugeLine = std::string(
                                     "3000000000000000"
                                     "9002\x03"
                                     "held\x01\x04") +
                                 "\r\n";
    m_buffer.Append(hugeLine + kTextLine + kTextLine);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(m_protocol.ProcessReceived(m_buffer), Result::Handled);
    }
    EXPECT_EQ(m_protocol.ProcessReceived(m_buffer), Result::Incomplete);
    const std::string text = kTextLine.substr(0, 22);
    EXPECT_EQ(m_buffer.View(), hugeLine.substr(0, hugeLine.size() - 2) + text + text);
    EXPECT_TRUE(sink.Lines().empty());
    m_protocol.GetDataCenter()->UnSetNotify();
}

TEST_F(Framing, AnEmptyBufferOrALineWithoutHeaderEndIsHandled) {
    EXPECT_EQ(m_protocol.ProcessReceived(m_buffer), Result::Incomplete);
    m_buffer.Append("garbage\r\n");
    EXPECT_EQ(m_protocol.ProcessReceived(m_buffer), Result::Handled);
    EXPECT_TRUE(m_buffer.IsEmpty());
}

TEST_F(Framing, TheSameMessagesComeOutHoweverTheStreamIsSplit) {
    const std::string stream = kTextLine + kTextLine + "0000";
    for (size_t cut = 0; cut <= stream.size(); ++cut) {
        CReceiveBuffer buffer;
        int handled = 0;
        for (const std::string& piece : {stream.substr(0, cut), stream.substr(cut)}) {
            buffer.Append(piece);
            while (m_protocol.ProcessReceived(buffer) != Result::Incomplete) {
                ++handled;
            }
        }
        EXPECT_EQ(handled, 2) << "cut at " << cut;
        // Even a cut right after a 0x0D: the line end's second byte never reaches what follows.
        EXPECT_EQ(buffer.View(), "0000") << "cut at " << cut;
    }
}

TEST_F(Framing, WholeMessagesEndWhereTheMessageStillWaitingForBytesStarts) {
    std::string shortLine = kTextLine;
    shortLine[5] = '3';  // declares 23 bytes, holds 22
    const std::string unreached = InboundMessage(9002, "x", 999999) + "\r\n";
    struct CCase {
        std::string pending;
        size_t whole;
    };
    const CCase cases[] = {
        {"", 0},
        {kTextLine + kTextLine + "0000", 2 * kTextLine.size()},
        {"garbage\r\n\r\n", 11},  // no header end: nothing declared, whole
        {shortLine, 0},
        {shortLine + "x\r\n", shortLine.size() + 3},  // the joined line reaches 23 bytes
        {kTextLine + shortLine + "\r\n", kTextLine.size()},
        {kTextLine + unreached + kTextLine + kTextLine, kTextLine.size()},
        // Only the line end's second byte is missing: the message is whole.
        {kTextLine.substr(0, kTextLine.size() - 1), kTextLine.size() - 1},
    };
    for (const CCase& c : cases) {
        EXPECT_EQ(CForexProtocol::WholeMessagesSize(c.pending), c.whole) << c.pending;
    }
}

TEST_F(Framing, WholeMessagesAreExactlyWhatProcessingCutsWithoutMoreBytes) {
    std::mt19937 random(13);
    for (int round = 0; round < 500; ++round) {
        std::string stream;
        for (unsigned i = random() % 6; i > 0; --i) {
            stream += RandomLine(random);
        }
        const std::string last = RandomLine(random);
        stream += last.substr(0, random() % (last.size() + 1));
        SCOPED_TRACE(stream);
        const size_t whole = CForexProtocol::WholeMessagesSize(stream);
        ASSERT_LE(whole, stream.size());

        // The whole messages are cut off completely on their own...
        CReceiveBuffer front;
        front.Append(stream.substr(0, whole));
        Drain(front);
        EXPECT_TRUE(front.IsEmpty());
        // ...and what follows them only joins lines, never gives a message...
        CReceiveBuffer rest;
        rest.Append(stream.substr(whole));
        for (;;) {
            const size_t before = rest.Size();
            if (m_protocol.ProcessReceived(rest) == Result::Incomplete) {
                break;
            }
            ASSERT_LE(before - rest.Size(), 2u);
        }
        // ...so the whole stream leaves the same bytes waiting.
        CReceiveBuffer all;
        all.Append(stream);
        Drain(all);
        EXPECT_EQ(all.View(), rest.View());
    }
}

TEST(ReceiveBufferStorage, KeepFrontAndClearGiveTheStorageBack) {
    CReceiveBuffer buffer;
    buffer.Append(std::string(1u << 20, 'x'));
    buffer.Consume(10);
    buffer.KeepFront(100);
    EXPECT_EQ(buffer.View(), std::string(100, 'x'));
    EXPECT_LT(buffer.Capacity(), 1024u);
    buffer.Append("yz");
    EXPECT_EQ(buffer.View(), std::string(100, 'x') + "yz");

    buffer.Append(std::string(1u << 20, 'x'));
    buffer.Clear();
    EXPECT_TRUE(buffer.IsEmpty());
    EXPECT_LE(buffer.Capacity(), std::string().capacity());
}

// The remembered search must answer what a search from the front answers, whatever mix of
// appends, cuts, joins and trims came between two asks.
TEST(ReceiveBufferSearch, ResumedSearchAgreesWithAFreshOne) {
    std::mt19937 random(29);
    static const char kBytes[] = "ab\r\n";
    for (int round = 0; round < 200; ++round) {
        CReceiveBuffer buffer;
        for (int step = 0; step < 40; ++step) {
            switch (random() % 6) {
                case 0:
                case 1: {
                    std::string piece(random() % 12, 'a');
                    for (char& byte : piece) {
                        byte = kBytes[random() % (sizeof(kBytes) - 1)];
                    }
                    buffer.Append(piece);
                    break;
                }
                case 2:
                    buffer.Consume(random() % 8);
                    break;
                case 3:
                    buffer.EraseAt(random() % 12, random() % 4);
                    break;
                case 4:
                    buffer.KeepFront(random() % 16);
                    break;
                default:
                    if (random() % 8 == 0) {
                        buffer.Clear();
                    }
                    break;
            }
            if (random() % 2 == 0) {
                continue;  // several changes may come between two asks
            }
            const size_t fresh = buffer.View().find('\r');
            ASSERT_EQ(buffer.FindLineEnd('\r'), fresh) << "round " << round << " step " << step;
        }
    }
}
