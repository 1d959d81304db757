// Prints 收款单: a receipt voucher with the bills it settles, over GathQ.
#include "reports/TQgath.h"

#include "core/TFrmDataMod.h"

TQgath::TQgath(QObject* parent)
    : SettlementLayout(QStringLiteral("收款单"), data().GathQ, parent)
{
    setObjectName(QStringLiteral("TQgath"));
    build({{pair(QStringLiteral("客户编码"), QStringLiteral("khbm")), pair(QStringLiteral("客户名称"), QStringLiteral("khmc")),
            pair(QStringLiteral("收款单号"), QStringLiteral("skdh")), pair(QStringLiteral("收款日期"), QStringLiteral("skri"))},
           {pair(QStringLiteral("流水单号"), QStringLiteral("lsdh"), 78), pair(QStringLiteral("收款金额"), QStringLiteral("skje")),
            pair(QStringLiteral("结余金额"), QStringLiteral("zhje"))},
           dateRange() + QList<Pair>{pair(QStringLiteral("开单人"), QStringLiteral("kdr")),
                                     pair(QStringLiteral("收款人"), QStringLiteral("skr"))},
           {pair(QStringLiteral("应收金额"), QStringLiteral("ysjea")), pair(QStringLiteral("已收金额"), QStringLiteral("ysjeb")),
            pair(QStringLiteral("复核人"), QStringLiteral("fhr")), pair(QStringLiteral("凭证号"), QStringLiteral("pzh"))},
           {pair(QStringLiteral("欠款金额"), QStringLiteral("qkje")), pair(QStringLiteral("上期节余"), QStringLiteral("sqjy")),
            pair(QStringLiteral("备注："), QStringLiteral("bz"), 78)}},
          {QStringLiteral("应收金额"), QStringLiteral("已收金 额"), QStringLiteral("欠款金额")});
}
