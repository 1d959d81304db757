#include "reports/TQRin.h"

TQRin::TQRin(QObject* parent)
    : BillLayout(Direction::In, parent)
{
    setObjectName(QStringLiteral("TQRin"));
}
