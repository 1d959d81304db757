// Prints 出货排行-按客户: sales quantity and amount ranked by customer, over OutSortCQ.
#include "reports/TQRoutSortC.h"

#include "core/TFrmDataMod.h"

TQRoutSortC::TQRoutSortC(QObject* parent)
    : ListingLayout(QStringLiteral("出货排行-按客户"), data().OutSortCQ, parent)
{
    setObjectName(QStringLiteral("TQRoutSortC"));
    const Qt::Alignment number = Qt::AlignRight;
    build({{{QStringLiteral("排序方式："), 23, QStringLiteral("sort_type"), 27},
            {QString(), 0, QStringLiteral("out_type"), 30},
            {QStringLiteral("日期范围"), 18, QStringLiteral("datea"), 32},
            {QString(), 0, QStringLiteral("dateb"), 32}}},
          {{QStringLiteral("公司编码"), QStringLiteral("comp_code"), 30},
           {QStringLiteral("公司名称"), QStringLiteral("comp_name"), 70},
           {QStringLiteral("负责人"), QStringLiteral("head_name"), 30},
           {QStringLiteral("数量"), QStringLiteral("sub_amou"), 30, number},
           {QStringLiteral("金额"), QStringLiteral("sub_tota"), 30, number}});
}
