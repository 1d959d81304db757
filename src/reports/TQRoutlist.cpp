// Prints 出货统计: the sales lines of a period, goods or company, over OutListQ.
#include "reports/TQRoutlist.h"

#include "core/TFrmDataMod.h"

TQRoutlist::TQRoutlist(QObject* parent)
    : BillLinesLayout(QStringLiteral("出货统计"), data().OutListQ, QStringLiteral("QRLabel5"), parent)
{
    setObjectName(QStringLiteral("TQRoutlist"));
}
