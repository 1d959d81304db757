#include "reports/TQRout.h"

TQRout::TQRout(QObject* parent)
    : BillLayout(Direction::Out, parent)
{
    setObjectName(QStringLiteral("TQRout"));
}
