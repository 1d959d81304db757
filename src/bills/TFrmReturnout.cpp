#include "bills/TFrmReturnout.h"

#include "core/CurrentRights.h"

namespace {

BillWindow::Setup supplierReturnSetup()
{
    BillWindow::Setup s{StockPosting::BillKind::SupplierReturn, "FrmReturnout", QStringLiteral("退货厂商"),
                        Function::SupplierReturn, QStringLiteral("valu_in"), false, QStringLiteral("退货厂商单"),
                        QStringLiteral("客户名称")};
    s.companyNameWidth = 257;
    s.currencyFirst = true;
    s.stockRemarks = true;
    s.paidCaption = QStringLiteral("实收金额");
    s.keysToLines = BillWindow::KeysToLines::AnyKeyInSettlement;
    return s;
}

} // namespace

TFrmReturnout::TFrmReturnout(QWidget* parent)
    : BillWindow(supplierReturnSetup(), parent)
{
}
