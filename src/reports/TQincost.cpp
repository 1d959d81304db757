// Prints 进货对帐单: a company's purchase statement of a period, over PayQ.
#include "reports/TQincost.h"

#include "core/TFrmDataMod.h"

TQincost::TQincost(QObject* parent)
    : SettlementLayout(QStringLiteral("进货对帐单"), data().PayQ, parent)
{
    setObjectName(QStringLiteral("TQincost"));
    build({{pair(QStringLiteral("客户编码"), QStringLiteral("khbm")), pair(QStringLiteral("客户名称"), QStringLiteral("khmc")),
            pair(QStringLiteral("应付金额"), QStringLiteral("ysjea")), pair(QStringLiteral("已付金额"), QStringLiteral("ysjeb"))},
           dateRange() + QList<Pair>{pair(QStringLiteral("欠款金额"), QStringLiteral("qkje"))}},
          {QStringLiteral("应付金额"), QStringLiteral("已付金额"), QStringLiteral("欠付金额")});
}
