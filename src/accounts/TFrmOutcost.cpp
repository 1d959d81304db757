#include "accounts/TFrmOutcost.h"

#include "core/CurrentRights.h"
#include "core/TFrmDataMod.h"
#include "reports/ReportLayouts.h"

TFrmOutcost::TFrmOutcost(QWidget* parent)
    : StatementWindow({QStringLiteral("出货对帐单"), QStringLiteral("收"), dataModule().GathQ, QStringLiteral("outmain"),
                       Function::SalesStatement, []() -> ReportLayout& { return ReportLayouts::get<TQoutcost>(); }},
                      parent)
{
    setObjectName(QStringLiteral("FrmOutcost"));
}
