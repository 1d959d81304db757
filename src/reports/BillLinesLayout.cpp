#include "reports/BillLinesLayout.h"

BillLinesLayout::BillLinesLayout(const QString& title, db::Dataset* lines, const QString& billTypeLabel,
                                 QObject* parent)
    : ListingLayout(title, lines, parent)
{
    const Qt::Alignment number = Qt::AlignRight;
    build({{{QStringLiteral("货品编码"), 18, QStringLiteral("gods_code"), 28},
            {QStringLiteral("货品名称"), 18, QStringLiteral("gods_name"), 44},
            {QStringLiteral("日期范围"), 18, QStringLiteral("datea"), 32},
            {QString(), 0, QStringLiteral("dateb"), 32}},
           {{QStringLiteral("客户编码"), 18, QStringLiteral("comp_no"), 28},
            {QStringLiteral("客户名称"), 18, QStringLiteral("comp_name"), 44},
            {QString(), 0, billTypeLabel, 40}}},
          {{QStringLiteral("流水号"), QStringLiteral("bill_no"), 30},
           {QStringLiteral("客户名称"), QStringLiteral("comp_name"), 38},
           {QStringLiteral("货品编码"), QStringLiteral("gods_code"), 20},
           {QStringLiteral("货品名称"), QStringLiteral("gods_name"), 26},
           {QStringLiteral("分类"), QStringLiteral("gods_kind"), 14},
           {QStringLiteral("单位"), QStringLiteral("gods_unit"), 10},
           {QStringLiteral("单价"), QStringLiteral("unit_pric"), 16, number},
           {QStringLiteral("数量"), QStringLiteral("sub_amou"), 14, number},
           {QStringLiteral("小计"), QStringLiteral("sub_tota"), 22, number}});
}
