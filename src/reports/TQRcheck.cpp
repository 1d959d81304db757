#include "reports/TQRcheck.h"

#include "core/TFrmDataMod.h"

TQRcheck::TQRcheck(QObject* parent)
    : StockListLayout(QStringLiteral("库存调整表"), data().ChektempQ, parent)
{
    setObjectName(QStringLiteral("TQRcheck"));
    const Qt::Alignment number = Qt::AlignRight;
    build({},
          {{QStringLiteral("货品编码"), QStringLiteral("gods_code"), 22},
           {QStringLiteral("货品名称"), QStringLiteral("gods_name"), 30},
           {QStringLiteral("分类"), QStringLiteral("gods_kind"), 14},
           {QStringLiteral("品牌"), QStringLiteral("gods_spec"), 14},
           {QStringLiteral("款式"), QStringLiteral("gods_type"), 14},
           {QStringLiteral("颜色"), QStringLiteral("gods_color"), 14},
           {QStringLiteral("尺码"), QStringLiteral("gods_size"), 14},
           {QStringLiteral("单位"), QStringLiteral("gods_unit"), 12},
           {QStringLiteral("库存数量"), QStringLiteral("gods_amou"), 28, number},
           {QStringLiteral("调整数量"), QStringLiteral("chek_amou"), 28, number}},
          false);
}
