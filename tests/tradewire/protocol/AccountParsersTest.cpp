#include <climits>
#include <cstdint>

#include "ProtocolTestFixture.h"

namespace {

using AccountParsers = ProtocolTest;

CWireBody FundLine(double balance) {
    CWireBody line;
    line.Num(balance).Empty(13).EndRecord();
    return line;
}

TEST_F(AccountParsers, LoginReplyIgnoresItsBody) {
    EXPECT_EQ(Feed(8000, ""), Result::Handled);
    EXPECT_EQ(Feed(8000, "anything\x01\x04"), Result::Handled);
    EXPECT_EQ(Log(), (Lines{"OnLoginReply", "OnLoginReply"}));
}

TEST_F(AccountParsers, ErrorCodeFromEachBodyShape) {
    const std::vector<std::pair<std::string, int>> cases = {
        {"1234", 1234},  // digits only
        {"text\x01"
         "5\x01"
         "77\x01",
         77},         // text, unused number, code
        {"text", 0},  // text without any terminator
        {"\x01"
         "88",
         88},  // starts with a terminator: what follows
        {"text\x01"
         "5\x01",
         0},  // code field missing
    };
    for (const auto& [body, expected] : cases) {
        sink.Clear();
        EXPECT_EQ(Feed(9999, body), Result::Handled);
        EXPECT_EQ(Center().GetErrorCode(), expected) << body;
        EXPECT_EQ(Log(), Lines{"OnErrorCode code=" + std::to_string(expected)});
    }
    sink.Clear();
    EXPECT_EQ(Feed(9999, ""), Result::NothingRead);
    EXPECT_EQ(Center().GetErrorCode(), 0);  // kept from the last report
    EXPECT_TRUE(Log().empty());
}

TEST_F(AccountParsers, EveryAccountFieldLandsInItsTarget) {
    CWireBody body;
    body.Text("ACC").Text("ignored").EndSection();
    Numbered(body, 1, 45).Text("ignored").EndSection();
    CWireBody fundLine;
    body.Raw(Numbered(fundLine, 1, 14).EndRecord().Str());
    ASSERT_EQ(Feed(9501, body.EndSection().EndSection().EndSection().Text("100").EndSection()),
              Result::Handled);
    CAccountInfo a;
    Center().GetAccountInfo(a);
    EXPECT_EQ(a.AccountCode, Wide("ACC"));
    const CString* texts[] = {&a.Value2, &a.Value3, &a.Value4, &a.Value5,  &a.Value6,
                              &a.Value7, &a.Value8, &a.Value9, &a.Value10, &a.Value11};
    for (int i = 0; i < 10; ++i) {
        FromField(*texts[i], i + 1).Check();
    }
    // Fields 30 and 43 of the account are dropped.
    ExpectFromFields(a.Value12, 11, a.Value15, 14, a.Value16, 15, a.Value17, 16, a.Value18, 17,
                     a.Value19, 18, a.Value20, 19, a.Value21, 20, a.Value22, 21, a.Value23, 22,
                     a.Value24, 23, a.Value30, 29, a.Value31, 31, a.Value34, 34, a.Value35, 35,
                     a.Value37, 37, a.Value38, 38, a.Value39, 39, a.Value40, 40, a.Value41, 41,
                     a.Value42, 42, a.Value43, 44, a.Value44, 45);
    ASSERT_EQ(a.Funds.GetSize(), 1);
    const CFundInfo& f = a.Funds[0];
    ExpectFromFields(f.Balance, 1, f.Value2, 2, f.Value6, 6, f.Value7, 7, f.Value8, 8, f.Value9, 9,
                     f.Value13, 13, f.Value14, 14);
    EXPECT_EQ(a.InternalNo, 100);
}

TEST_F(AccountParsers, OutOfRangeNumbersSaturateOrReadAsZero) {
    CWireBody body;
    body.Text("ACC").EndSection();
    body.Empty(15).Text("3000000000").Text("1e309").Text("-inf").Empty(2).Text("-1e39");
    body.Text("-3000000000").EndSection();  // the 32-bit long, 64 bits wide on Linux
    body.Text("nan").Text("inf").Text("1e39").Empty(3).Text("-1e309").Text("nan(1)");
    body.Empty(6).EndRecord().EndSection().EndSection().EndSection();
    ASSERT_EQ(Feed(9501, body.Text("99999999999999999999").EndSection()), Result::Handled);
    CAccountInfo a;
    Center().GetAccountInfo(a);
    EXPECT_EQ(a.Value17, INT_MAX);
    EXPECT_EQ(a.Value18, 0.0);
    EXPECT_EQ(a.Value19, 0.0);
    EXPECT_EQ(a.Value22, 0.0f);
    EXPECT_EQ(a.Value23, INT32_MIN);
    ASSERT_EQ(a.Funds.GetSize(), 1);
    EXPECT_EQ(a.Funds[0].Balance, 0.0);
    EXPECT_EQ(a.Funds[0].Value2, 0.0f);
    EXPECT_EQ(a.Funds[0].Value3, 0.0f);
    EXPECT_EQ(a.Funds[0].Value7, 0.0);
    EXPECT_EQ(a.Funds[0].Value8, 0.0f);
    // The counter the server set so high goes on at 1, never into negative numbers.
    EXPECT_EQ(Center().GetInternalNo(), INT_MAX);
    EXPECT_EQ(Center().GetInternalNo(), 1);
}

TEST_F(AccountParsers, AccountSectionsAndTheirEdges) {
    // First a full account with two instruments, then one with only sections 1 and 2.
    CWireBody full;
    full.Text("ACC").EndSection().Empty(45).EndSection();
    full.Raw(FundLine(5000).Str()).Raw(FundLine(7).Str()).EndSection();
    MerchRecord(full, "EURUSD", 0.0003, 1.2, 1.2);
    MerchRecord(full, "eurusd", 0.0, 1.3, 1.3);  // sees the first one's spread
    full.EndSection().Text("junk").EndSection().Text("100").EndSection();
    ASSERT_EQ(Feed(9501, full), Result::Handled);
    EXPECT_EQ(Center().GetInternalNo(), 100);
    EXPECT_EQ(Center().GetInternalNo(), 101);

    CWireBody shortBody;
    shortBody.Text("ACC2").EndSection().Empty(45).EndSection();
    ASSERT_EQ(Feed(9501, shortBody), Result::Handled);
    EXPECT_EQ(Center().GetInternalNo(), 0);
    EXPECT_EQ(Feed(9501, ""), Result::NothingRead);

    EXPECT_EQ(Log(), (Lines{"OnForexMerchs n=2 [EURUSD bid=1.2 ask=1.2 min=0.0003, "
                            "eurusd bid=1.3 ask=1.3003 min=0]",
                            "OnAccountInfo ACC funds=2 merchs=2 internal=100 balance=5000",
                            "OnAccountInfo ACC2 funds=0 merchs=2 internal=0 balance=0"}));
}

TEST_F(AccountParsers, FundLinesStopAtTheFirstEmptyOrUnterminatedRecord) {
    CWireBody body;
    body.Text("A").EndSection().EndSection();
    body.Raw(FundLine(1).Str()).EndRecord().Raw(FundLine(2).Str()).EndSection();
    ASSERT_EQ(Feed(9501, body), Result::Handled);
    CAccountInfo account;
    Center().GetAccountInfo(account);
    EXPECT_EQ(account.Funds.GetSize(), 1);

    CWireBody unterminated;
    unterminated.Text("A").EndSection().EndSection();
    unterminated.Raw(FundLine(1).Str()).Num(2).Empty(13).EndSection();
    ASSERT_EQ(Feed(9501, unterminated), Result::Handled);
    Center().GetAccountInfo(account);
    ASSERT_EQ(account.Funds.GetSize(), 1);
    EXPECT_DOUBLE_EQ(account.Funds[0].Balance, 1.0);
}

TEST_F(AccountParsers, ShortAccountSectionClearsLaterTargetsAndKeepsLaterSections) {
    CWireBody full;
    full.Text("A").EndSection();
    Numbered(full, 1, 45).EndSection().EndSection().EndSection().EndSection().Text("9");
    ASSERT_EQ(Feed(9501, full.EndSection()), Result::Handled);
    CWireBody cut;
    cut.Text("A").EndSection();
    Numbered(cut, 1, 20).EndSection().Raw(FundLine(3).Str()).EndSection();
    cut.EndSection().EndSection().Text("42").EndSection();
    ASSERT_EQ(Feed(9501, cut), Result::Handled);
    CAccountInfo a;
    Center().GetAccountInfo(a);
    EXPECT_EQ(a.Value21, 20);
    EXPECT_FLOAT_EQ(a.Value22, 0.0f);
    EXPECT_EQ(a.Value23, 0);
    EXPECT_TRUE(a.Value24.IsEmpty());
    EXPECT_FLOAT_EQ(a.Value44, 0.0f);
    EXPECT_EQ(a.Funds.GetSize(), 1);
    EXPECT_EQ(a.InternalNo, 42);
}

}  // namespace
