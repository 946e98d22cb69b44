#include <gtest/gtest.h>

#include <algorithm>
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
    // One pass joins every whole line there is; the next finds nothing to cut.
    EXPECT_EQ(m_protocol.ProcessReceived(m_buffer), Result::Handled);
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
        CRecordingSink sink;
        m_protocol.GetDataCenter()->SetNotify(&sink);
        while (m_protocol.ProcessReceived(rest) != Result::Incomplete) {
        }
        m_protocol.GetDataCenter()->UnSetNotify();
        EXPECT_TRUE(sink.Lines().empty());
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
// Joining many lines at once leaves what dropping their line ends one at a time would, whichever
// side it moves, and the search and the owed byte of a cut line end go on as after EraseAt.
TEST(ReceiveBufferSearch, EraseSeparatorsJoinsAsEraseAtOneByOneWould) {
    std::mt19937 random(31);
    for (int round = 0; round < 300; ++round) {
        std::string text;
        std::vector<size_t> lineEnds;
        const int lines = 1 + static_cast<int>(random() % 6);
        for (int i = 0; i < lines; ++i) {
            text += std::string(random() % 7, static_cast<char>('a' + i));
            lineEnds.push_back(text.size());
            text += "\r\n";
        }
        text += std::string(random() % 40, 'z') + (random() % 2 == 0 ? "\r\nrest" : "");
        if (random() % 4 == 0) {
            text.resize(lineEnds.back() + 1);  // the last line end cut after its first byte
        }
        const std::vector<size_t> offsets(lineEnds.begin(),
                                          lineEnds.begin() + 1 + random() % lineEnds.size());
        CReceiveBuffer expected;
        CReceiveBuffer joined;
        for (CReceiveBuffer* buffer : {&expected, &joined}) {
            buffer->Append("xx" + text);
            buffer->Consume(2);  // a front that has moved
        }
        for (size_t i = offsets.size(); i-- > 0;) {
            expected.EraseAt(offsets[i], 2);
        }
        joined.EraseSeparators(offsets, 2);
        ASSERT_EQ(joined.View(), expected.View()) << "round " << round;
        ASSERT_EQ(joined.FindLineEnd('\r'), joined.View().find('\r')) << "round " << round;
        for (CReceiveBuffer* buffer : {&expected, &joined}) {
            buffer->Append("\nnext");
        }
        ASSERT_EQ(joined.View(), expected.View()) << "round " << round;
    }
}

// A message sent as very many one-byte lines, as bytes arrive: joined in linear time (quadratic
// joining took minutes for this size), and dispatched once whole.
TEST_F(Framing, AMessageOfManyOneByteLinesIsJoinedAsItArrives) {
    std::string body(300000, 'q');
    const std::string frame = CForexProtocol::PadLeft(std::to_string(body.size() + 22), 6) +
                              std::string(10, '0') + "9002\x03" + body + "\x01\x04";
    std::string lines = frame.substr(0, 21);
    for (size_t at = 21; at < frame.size(); ++at) {
        lines += "\r\n";
        lines += frame[at];
    }
    lines += "\r\n";
    CRecordingSink sink;
    m_protocol.GetDataCenter()->SetNotify(&sink);
    for (size_t at = 0; at < lines.size(); at += 4096) {
        m_buffer.Append(std::string_view(lines).substr(at, 4096));
        while (m_protocol.ProcessReceived(m_buffer) != Result::Incomplete) {
        }
    }
    EXPECT_TRUE(m_buffer.IsEmpty());
    ASSERT_EQ(sink.Lines().size(), 1u);
    EXPECT_EQ(sink.Lines()[0].substr(0, 20), "OnTextMessage \"qqqqq");
    m_protocol.GetDataCenter()->UnSetNotify();
}

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
