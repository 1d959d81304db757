#include "accounts/TFrmIncost.h"

#include "core/CurrentRights.h"
#include "core/TFrmDataMod.h"
#include "reports/ReportLayouts.h"

TFrmIncost::TFrmIncost(QWidget* parent)
    : StatementWindow({QStringLiteral("进货对帐单"), QStringLiteral("付"), dataModule().PayQ, QStringLiteral("inmain"),
                       Function::PurchaseStatement, []() -> ReportLayout& { return ReportLayouts::get<TQincost>(); }},
                      parent)
{
    setObjectName(QStringLiteral("FrmIncost"));
}
