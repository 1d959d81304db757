#include "bills/TFrmOutFind.h"

#include "core/TFrmDataMod.h"

TFrmOutFind::TFrmOutFind(QWidget* parent)
    : BillFinder("FrmOutFind", QStringLiteral("出货单查询"), QStringLiteral("outmain"), dataModule().OutFindQ, parent)
{
}
