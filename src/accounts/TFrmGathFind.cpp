#include "accounts/TFrmGathFind.h"

#include "core/TFrmDataMod.h"

TFrmGathFind::TFrmGathFind(QWidget* parent)
    : VoucherFinder({QStringLiteral("收"), dataModule().GathMainQ, QStringLiteral("gathmain")}, parent)
{
    setObjectName(QStringLiteral("FrmGathFind"));
}
