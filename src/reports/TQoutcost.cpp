// Prints 出货对帐单: a company's sales statement of a period, over GathQ.
#include "reports/TQoutcost.h"

#include "core/TFrmDataMod.h"

TQoutcost::TQoutcost(QObject* parent)
    : SettlementLayout(QStringLiteral("出货对帐单"), data().GathQ, parent)
{
    setObjectName(QStringLiteral("TQoutcost"));
    build({{pair(QStringLiteral("客户编码"), QStringLiteral("khbm")), pair(QStringLiteral("客户名称"), QStringLiteral("khmc")),
            pair(QStringLiteral("应收金额"), QStringLiteral("ysjea")), pair(QStringLiteral("已收金额"), QStringLiteral("ysjeb"))},
           dateRange() + QList<Pair>{pair(QStringLiteral("欠收金额"), QStringLiteral("qkje"))}},
          {QStringLiteral("应付金额"), QStringLiteral("已付金额"), QStringLiteral("欠付金额")});
}
