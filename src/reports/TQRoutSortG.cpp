// Prints 出货排行-按货品: sales quantity and amount ranked by goods, over OutSortQ.
#include "reports/TQRoutSortG.h"

#include "core/TFrmDataMod.h"

TQRoutSortG::TQRoutSortG(QObject* parent)
    : ListingLayout(QStringLiteral("出货排行-按货品"), data().OutSortQ, parent)
{
    setObjectName(QStringLiteral("TQRoutSortG"));
    const Qt::Alignment number = Qt::AlignRight;
    build({{{QStringLiteral("排序方式："), 23, QStringLiteral("sort_type"), 27},
            {QString(), 0, QStringLiteral("out_type"), 30},
            {QStringLiteral("日期范围"), 18, QStringLiteral("datea"), 32},
            {QString(), 0, QStringLiteral("dateb"), 32}}},
          {{QStringLiteral("货品编码"), QStringLiteral("gods_code"), 22},
           {QStringLiteral("货品名称"), QStringLiteral("gods_name"), 30},
           {QStringLiteral("分类"), QStringLiteral("gods_kind"), 16},
           {QStringLiteral("品牌"), QStringLiteral("gods_spec"), 16},
           {QStringLiteral("颜色"), QStringLiteral("gods_color"), 14},
           {QStringLiteral("尺码"), QStringLiteral("gods_size"), 14},
           {QStringLiteral("单位"), QStringLiteral("gods_unit"), 12},
           {QStringLiteral("单价"), QStringLiteral("unit_pric"), 20, number},
           {QStringLiteral("数量"), QStringLiteral("sub_amou"), 20, number},
           {QStringLiteral("小计"), QStringLiteral("sub_tota"), 26, number}});
}
