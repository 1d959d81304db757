#include "bills/TFrmReturnIn.h"

#include "core/CurrentRights.h"

namespace {

BillWindow::Setup customerReturnSetup()
{
    BillWindow::Setup s{StockPosting::BillKind::CustomerReturn, "FrmReturnIn", QStringLiteral("顾客退货单"),
                        Function::CustomerReturn, QStringLiteral("valu_out"), false, QStringLiteral("顾客退货单"),
                        QStringLiteral("客户名称")};
    s.currencyFirst = true;
    s.stockRemarks = true;
    s.keysToLines = BillWindow::KeysToLines::AnyKeyInSettlement;
    return s;
}

} // namespace

TFrmReturnIn::TFrmReturnIn(QWidget* parent)
    : BillWindow(customerReturnSetup(), parent)
{
}
