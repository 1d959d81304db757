#include "statistics/TFrmOutList.h"

#include "core/CurrentRights.h"
#include "core/TFrmDataMod.h"
#include "reports/ReportLayouts.h"

TFrmOutList::TFrmOutList(QWidget* parent)
    : ListingWindow({QStringLiteral("出货统计"),
                     QStringLiteral("FrmOutList"),
                     statistics::outBills(),
                     dataModule().OutListQ,
                     Function::SalesList,
                     QStringLiteral("出货类型"),
                     QStringLiteral("销售"),
                     QStringLiteral("退货厂商"),
                     []() -> ReportLayout& { return ReportLayouts::get<TQRoutlist>(); },
                     QStringLiteral("QRLabel5"),
                     {QString(), QStringLiteral("销售出货"), QStringLiteral("退货厂商")}},
                    parent)
{
}
