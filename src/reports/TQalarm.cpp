// Prints 库存报警: the goods whose stock is outside their limits, over AlarmQ.
#include "reports/TQalarm.h"

#include "core/TFrmDataMod.h"

TQalarm::TQalarm(QObject* parent)
    : StockListLayout(QStringLiteral("库存报警"), data().AlarmQ, parent)
{
    setObjectName(QStringLiteral("TQalarm"));
    const Qt::Alignment number = Qt::AlignRight;
    build({{QStringLiteral("总数量"), 14, QStringLiteral("hjsl"), 40}},
          {{QStringLiteral("商品编码"), QStringLiteral("gods_code"), 22},
           {QStringLiteral("商品名称"), QStringLiteral("gods_name"), 32},
           {QStringLiteral("分类"), QStringLiteral("gods_kind"), 16},
           {QStringLiteral("品牌"), QStringLiteral("gods_spec"), 16},
           {QStringLiteral("颜色"), QStringLiteral("gods_color"), 14},
           {QStringLiteral("尺码"), QStringLiteral("gods_size"), 14},
           {QStringLiteral("单位"), QStringLiteral("gods_unit"), 12},
           {QStringLiteral("数量"), QStringLiteral("gods_amou"), 18, number},
           {QStringLiteral("库存上限"), QStringLiteral("max_amou"), 23, number},
           {QStringLiteral("库存下限"), QStringLiteral("min_amou"), 23, number}},
          true);
}
