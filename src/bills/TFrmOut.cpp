#include "bills/TFrmOut.h"

#include "core/CurrentRights.h"

namespace {

BillWindow::Setup salesSetup()
{
    BillWindow::Setup s{StockPosting::BillKind::Sale, "FrmOut", QStringLiteral("销售管理"), Function::SalesOut,
                        QStringLiteral("valu_out"), false, QStringLiteral("销售单"), QStringLiteral("公司名称")};
    s.companyCodeBox = "DBEdit3";
    s.companyButton = "Button1";
    s.companyNameWidth = 150;
    s.phone = true;
    s.paidCaption = QStringLiteral("实收金额");
    s.keysToLines = BillWindow::KeysToLines::EnterInCurrency;
    return s;
}

} // namespace

TFrmOut::TFrmOut(QWidget* parent)
    : BillWindow(salesSetup(), parent)
{
}
