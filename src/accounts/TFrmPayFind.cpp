#include "accounts/TFrmPayFind.h"

#include "core/TFrmDataMod.h"

TFrmPayFind::TFrmPayFind(QWidget* parent)
    : VoucherFinder({QStringLiteral("付"), dataModule().PayMainQ, QStringLiteral("paymain")}, parent)
{
    setObjectName(QStringLiteral("FrmPayFind"));
}
