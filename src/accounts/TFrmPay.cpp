#include "accounts/TFrmPay.h"

#include "accounts/TFrmPayFind.h"
#include "core/TFrmDataMod.h"
#include "reports/ReportLayouts.h"

TFrmPay::TFrmPay(QWidget* parent)
    : SettlementWindow({QStringLiteral("付"), dataModule().PayQ, dataModule().PayMainQ, &Settlement::payments(),
                        Function::Payments, []() -> ReportLayout& { return ReportLayouts::get<TQpay>(); },
                        [](QWidget* owner) -> QDialog* { return new TFrmPayFind(owner); }},
                       parent)
{
    setObjectName(QStringLiteral("FrmPay"));
}
