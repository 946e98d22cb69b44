#include <gtest/gtest.h>

#include <string>

#include "ForexProtocol.h"
#include "RecordingSink.h"

namespace {

const std::string kTextLine = std::string(
                                  "000022000000"
                                  "9002\x03"
                                  "abc\x01\x04") +
                              "\r\n";

class Framing : public ::testing::Test {
  protected:
    CForexProtocol m_protocol{nullptr};
    CReceiveBuffer m_buffer;
};

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
    EXPECT_EQ(m_protocol.ProcessReceived(m_buffer), -1);
    EXPECT_EQ(m_buffer.View(), "rest");
    EXPECT_EQ(m_protocol.ProcessReceived(m_buffer), 0);  // no 0x0D: left as it is
    EXPECT_EQ(m_buffer.View(), "rest");
}

TEST_F(Framing, ALineShorterThanDeclaredIsJoinedWithTheNextLine) {
    std::string shortLine = kTextLine;
    shortLine[5] = '3';  // declares 23 bytes, holds 22
    m_buffer.Append(shortLine + "x\r\n");
    EXPECT_EQ(m_protocol.ProcessReceived(m_buffer), -1);
    EXPECT_EQ(m_buffer.View(), shortLine.substr(0, 22) + "x\r\n");
    EXPECT_EQ(m_protocol.ProcessReceived(m_buffer), -1);  // 23 bytes now: consumed
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
        EXPECT_EQ(m_protocol.ProcessReceived(m_buffer), -1);
    }
    EXPECT_EQ(m_protocol.ProcessReceived(m_buffer), 0);
    const std::string text = kTextLine.substr(0, 22);
    EXPECT_EQ(m_buffer.View(), hugeLine.substr(0, hugeLine.size() - 2) + text + text);
    EXPECT_TRUE(sink.Lines().empty());
    m_protocol.GetDataCenter()->UnSetNotify();
}

TEST_F(Framing, AnEmptyBufferOrALineWithoutHeaderEndIsHandled) {
    EXPECT_EQ(m_protocol.ProcessReceived(m_buffer), 0);
    m_buffer.Append("garbage\r\n");
    EXPECT_EQ(m_protocol.ProcessReceived(m_buffer), -1);
    EXPECT_TRUE(m_buffer.IsEmpty());
}

TEST_F(Framing, TheSameMessagesComeOutHoweverTheStreamIsSplit) {
    const std::string stream = kTextLine + kTextLine + "0000";
    for (size_t cut = 0; cut <= stream.size(); ++cut) {
        CReceiveBuffer buffer;
        int handled = 0;
        for (const std::string& piece : {stream.substr(0, cut), stream.substr(cut)}) {
            buffer.Append(piece);
            while (m_protocol.ProcessReceived(buffer) != 0) {
                ++handled;
            }
        }
        EXPECT_EQ(handled, 2) << "cut at " << cut;
        // Even a cut right after a 0x0D: the line end's second byte never reaches what follows.
        EXPECT_EQ(buffer.View(), "0000") << "cut at " << cut;
    }
}
