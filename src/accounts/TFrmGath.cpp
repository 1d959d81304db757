#include "accounts/TFrmGath.h"

#include "accounts/TFrmGathFind.h"
#include "core/TFrmDataMod.h"
#include "reports/ReportLayouts.h"

TFrmGath::TFrmGath(QWidget* parent)
    : SettlementWindow({QStringLiteral("收"), dataModule().GathQ, dataModule().GathMainQ, &Settlement::receipts(),
                        Function::Receipts, []() -> ReportLayout& { return ReportLayouts::get<TQgath>(); },
                        [](QWidget* owner) -> QDialog* { return new TFrmGathFind(owner); }},
                       parent)
{
    setObjectName(QStringLiteral("FrmGath"));
}
