// Prints 销售单: a sales or supplier-return bill on the sales paper, over OutMainQ and OutTempQ.
#include "reports/TQRout.h"

TQRout::TQRout(QObject* parent)
    : BillLayout(Direction::Out, parent)
{
    setObjectName(QStringLiteral("TQRout"));
}
