// The console front-end: how a typed line answers a message box, what it writes, and its timer
// loop serving a dialog.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "ui/ConsoleFrontEnd.h"
#include "ui/Dialog.h"

namespace kestrel::test {
namespace {

using namespace kestrel::ui;

struct CAnswerCase {
    unsigned Style;
    std::string Input;
    int Expected;
    int Prompts;  // how often the choices were offered
};

class ConsoleMessageBoxTest : public ::testing::TestWithParam<CAnswerCase> {};

size_t CountOf(const std::string& text, const std::string& what) {
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++count;
    }
    return count;
}

TEST_P(ConsoleMessageBoxTest, FirstLetterChoosesUnknownAsksAgainEndOfInputIsSafe) {
    const CAnswerCase& c = GetParam();
    std::istringstream input(c.Input);
    std::ostringstream output;
    CConsoleFrontEnd frontEnd(input, output);
    EXPECT_EQ(frontEnd.MessageBox(L"确定要退出吗?", L"提示", c.Style), c.Expected);
    const std::string prompt = (c.Style & MB_TYPEMASK) == MB_YESNOCANCEL   ? "[Y]es [N]o [C]ancel"
                               : (c.Style & MB_TYPEMASK) == MB_RETRYCANCEL ? "[R]etry [C]ancel"
                                                                           : "[O]K";
    EXPECT_EQ(CountOf(output.str(), prompt), static_cast<size_t>(c.Prompts)) << output.str();
}

INSTANTIATE_TEST_SUITE_P(Answers, ConsoleMessageBoxTest,
                         ::testing::Values(CAnswerCase{MB_YESNOCANCEL, "y\n", IDYES, 1},
                                           CAnswerCase{MB_YESNOCANCEL, "Yes please\n", IDYES, 1},
                                           CAnswerCase{MB_YESNOCANCEL, "  N\r\n", IDNO, 1},
                                           CAnswerCase{MB_YESNOCANCEL, "C", IDCANCEL, 1},
                                           CAnswerCase{MB_YESNOCANCEL, "\n\nok\nr\nn\n", IDNO, 5},
                                           CAnswerCase{MB_YESNOCANCEL, "", IDCANCEL, 1},
                                           CAnswerCase{MB_YESNOCANCEL, "x\n", IDCANCEL, 2},
                                           CAnswerCase{MB_RETRYCANCEL, "R\n", IDRETRY, 1},
                                           CAnswerCase{MB_RETRYCANCEL, "y\n", IDCANCEL, 2},
                                           CAnswerCase{MB_RETRYCANCEL, "", IDCANCEL, 1},
                                           CAnswerCase{MB_OK | MB_ICONERROR, "o\n", IDOK, 1},
                                           CAnswerCase{MB_OK, "c\n\n", IDOK, 3}));

TEST(ConsoleFrontEndTest, MessageBoxWritesCaptionTextAndChoicesAsUtf8) {
    std::istringstream input("y\n");
    std::ostringstream output;
    CConsoleFrontEnd frontEnd(input, output);
    frontEnd.MessageBox(L"确定要退出吗?", L"提示", MB_YESNOCANCEL);
    EXPECT_EQ(output.str(),
              "\xE6\x8F\x90\xE7\xA4\xBA: "
              "\xE7\xA1\xAE\xE5\xAE\x9A\xE8\xA6\x81\xE9\x80\x80\xE5\x87\xBA\xE5\x90\x97?\n"
              "[Y]es [N]o [C]ancel ");
}

const CDialogTemplate& TestTemplate() {
    static const CDialogTemplate dialog{
        L"标题",
        100,
        40,
        {{IDOK, EControlKind::PushButton, L"退出(&E)", 0, 0, 10, 10, true},
         {9, EControlKind::CentredText, L"初始", 0, 20, 100, 8, false}},
        nullptr};
    return dialog;
}

// Timer 1 ticks three times then ends the dialog; timer 2 is restarted on every tick of timer 1
// at a longer interval, so it never comes due; timer 3 is killed before it can fire.
class CTickingDialog final : public CDialog {
  public:
    CTickingDialog() : CDialog(TestTemplate()) {}
    std::vector<unsigned> Fired;
    bool EndInInit = false;

  protected:
    bool OnInitDialog() override {
        if (EndInInit) {
            EndDialog(IDCANCEL);
            return true;
        }
        SetTimer(1, 1);
        SetTimer(2, 40);
        SetTimer(3, 15);
        KillTimer(3);
        SetDlgItemText(9, L"等待");
        return true;
    }
    void OnTimer(unsigned id) override {
        Fired.push_back(id);
        if (id != 1) {
            return;
        }
        SetTimer(2, 40);
        SetDlgItemText(9, L"等待");  // unchanged: not written again
        if (Fired.size() == 3) {
            SetDlgItemText(9, L"完成");
            EndDialog(IDOK);
        }
    }
};

TEST(ConsoleFrontEndTest, ServesTimersAndEchoesCaptionAndStatusChanges) {
    std::istringstream input;
    std::ostringstream output;
    CConsoleFrontEnd frontEnd(input, output);
    CTickingDialog dialog;
    EXPECT_EQ(dialog.DoModal(frontEnd), IDOK);
    EXPECT_EQ(dialog.Fired, (std::vector<unsigned>{1, 1, 1}));
    EXPECT_EQ(output.str(), "标题\n等待\n完成\n");
    EXPECT_FALSE(frontEnd.IsQuitPosted());
}

TEST(ConsoleFrontEndTest, DialogEndedDuringInitWritesNothingAndQuitEndsLaterDialogs) {
    std::istringstream input;
    std::ostringstream output;
    CConsoleFrontEnd frontEnd(input, output);
    CTickingDialog ended;
    ended.EndInInit = true;
    EXPECT_EQ(ended.DoModal(frontEnd), IDCANCEL);
    EXPECT_EQ(output.str(), "");

    frontEnd.PostQuit(3);
    frontEnd.PostQuit(4);  // the first code stands
    CTickingDialog later;
    EXPECT_EQ(later.DoModal(frontEnd), -1);
    EXPECT_TRUE(later.Fired.empty());
    EXPECT_EQ(frontEnd.GetQuitCode(), 3);
}

}  // namespace
}  // namespace kestrel::test
