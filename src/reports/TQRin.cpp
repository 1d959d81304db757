// Prints 进货单: a purchase or customer-return bill, its header and lines, over InMainQ and InGoodsQ.
#include "reports/TQRin.h"

TQRin::TQRin(QObject* parent)
    : BillLayout(Direction::In, parent)
{
    setObjectName(QStringLiteral("TQRin"));
}
