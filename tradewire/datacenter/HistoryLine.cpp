#include "datacenter/HistoryLine.h"

#include "platform/FloatRange.h"

namespace {

// The closed share of an amount the position carried, plus what the closing deal carried
// itself. Unlike the balance update there is no guard for open lots of 0: history lines have
// always carried the IEEE result there (an infinity or NaN) and terminals may rely on it;
// the division itself never faults, and an infinity or NaN narrows to float without harm.
// Any other share beyond the float range (tiny open lots) is 0, as a number read beyond it is.
float ClosedShare(const CBargain& closing, const CBargain& open, float openAmount,
                  float closingAmount) {
    const double share = static_cast<double>(closing.Lots) * openAmount / open.Lots + closingAmount;
    if (open.Lots == 0) {
        return static_cast<float>(share);
    }
    return FloatOrZero(share);
}

}  // namespace

CHistoryOrderInfo MakeHistoryLine(const CBargain& closing, const CBargain& open, float profit) {
    CHistoryOrderInfo line;
    line.Value1 = closing.Value3;
    line.Value2 = closing.Value1;
    line.MerchCode = closing.MerchCode;
    line.Lots = closing.Lots;
    line.Value5 = open.Value3;
    line.Value6 = open.Value4;
    line.OpenBargainNo = open.BargainNo;
    line.OpenInternalNo = open.InternalNo;
    line.Value9 = open.Value8;
    line.Value10 = open.Value9;
    line.Direction = open.Direction;
    line.OpenPrice = open.Price;
    line.OpenTriggerPrice2 = open.TriggerPrice2;
    line.OpenTriggerPrice1 = open.TriggerPrice1;
    line.Value15 = closing.Value3;
    line.Value16 = closing.Value4;
    line.BargainNo = closing.BargainNo;
    line.InternalNo = closing.InternalNo;
    line.Value19 = closing.Value8;
    line.Value20 = closing.Value9;
    line.ClosePrice = closing.Price;
    line.Profit = profit;
    line.Value23 = 0;
    line.Credit = ClosedShare(closing, open, open.Credit, closing.Credit);
    line.Charge = ClosedShare(closing, open, open.Charge, closing.Charge);
    line.Value26 = ClosedShare(closing, open, open.Value20, closing.Value20);
    return line;
}
