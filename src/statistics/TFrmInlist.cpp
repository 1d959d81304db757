#include "statistics/TFrmInlist.h"

#include "core/CurrentRights.h"
#include "core/TFrmDataMod.h"
#include "reports/ReportLayouts.h"

TFrmInlist::TFrmInlist(QWidget* parent)
    : ListingWindow({QStringLiteral("进货统计"),
                     QStringLiteral("FrmInlist"),
                     statistics::inBills(),
                     dataModule().InListQ,
                     Function::PurchaseList,
                     QStringLiteral("进货类型"),
                     QStringLiteral("进货"),
                     QStringLiteral("顾客退货"),
                     []() -> ReportLayout& { return ReportLayouts::get<TQRinstat>(); },
                     QStringLiteral("list_type"),
                     {QString(), QStringLiteral("进货"), QStringLiteral("顾客退货")}},
                    parent)
{
}
