#include "bills/TFrmInFind.h"

#include "app/TFrmDataMod.h"

TFrmInFind::TFrmInFind(QWidget* parent)
    : BillFinder("FrmInFind", QStringLiteral("单据查询"), QStringLiteral("inmain"), dataModule().InFindQ, parent)
{
}
