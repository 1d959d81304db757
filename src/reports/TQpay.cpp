// Prints 付款单: a payment voucher with the bills it settles, over PayQ.
#include "reports/TQpay.h"

#include "core/TFrmDataMod.h"

TQpay::TQpay(QObject* parent)
    : SettlementLayout(QStringLiteral("付款单"), data().PayQ, parent)
{
    setObjectName(QStringLiteral("TQpay"));
    build({{pair(QStringLiteral("客户编码"), QStringLiteral("khbm")), pair(QStringLiteral("客户名称"), QStringLiteral("khmc")),
            pair(QStringLiteral("付款单号"), QStringLiteral("skdh")), pair(QStringLiteral("付款日期"), QStringLiteral("skri"))},
           {pair(QStringLiteral("流水单号"), QStringLiteral("lsdh"), 78), pair(QStringLiteral("付款金额"), QStringLiteral("skje")),
            pair(QStringLiteral("结余金额"), QStringLiteral("zhje"))},
           dateRange() + QList<Pair>{pair(QStringLiteral("开单人"), QStringLiteral("kdr")),
                                     pair(QStringLiteral("付款人"), QStringLiteral("skr"))},
           {pair(QStringLiteral("应付金额"), QStringLiteral("ysjea")), pair(QStringLiteral("已付金额"), QStringLiteral("ysjeb")),
            pair(QStringLiteral("复核人"), QStringLiteral("fhr")), pair(QStringLiteral("凭证号"), QStringLiteral("pzh"))},
           {pair(QStringLiteral("欠款金额"), QStringLiteral("qkje")), pair(QStringLiteral("上期节余"), QStringLiteral("sqjy")),
            pair(QStringLiteral("备注："), QStringLiteral("bz"), 78)}},
          {QStringLiteral("应付金额"), QStringLiteral("已付金额"), QStringLiteral("欠付金额")});
}
