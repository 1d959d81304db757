#include "bills/TFrmIn.h"

#include "core/CurrentRights.h"

namespace {

BillWindow::Setup purchaseSetup()
{
    BillWindow::Setup s{StockPosting::BillKind::Purchase, "FrmIn", QStringLiteral("进货管理"), Function::PurchaseIn,
                        QStringLiteral("valu_in"), true, QStringLiteral("进货单"), QStringLiteral("客户公司")};
    return s;
}

} // namespace

TFrmIn::TFrmIn(QWidget* parent)
    : BillWindow(purchaseSetup(), parent)
{
}
