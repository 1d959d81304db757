// Prints 进货统计: the purchase lines of a period, goods or company, over InListQ.
#include "reports/TQRinstat.h"

#include "core/TFrmDataMod.h"

TQRinstat::TQRinstat(QObject* parent)
    : BillLinesLayout(QStringLiteral("进  货  统  计"), data().InListQ, QStringLiteral("list_type"), parent)
{
    setObjectName(QStringLiteral("TQRinstat"));
}
