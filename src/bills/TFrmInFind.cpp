#include "bills/TFrmInFind.h"

#include "core/TFrmDataMod.h"

TFrmInFind::TFrmInFind(QWidget* parent)
    : BillFinder("FrmInFind", QStringLiteral("单据查询"), QStringLiteral("inmain"), dataModule().InFindQ, parent)
{
}
