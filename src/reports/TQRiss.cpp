// Prints 进销存表: a month's opening, in, out and closing quantity per goods, over MiosQ.
#include "reports/TQRiss.h"

#include "core/TFrmDataMod.h"

TQRiss::TQRiss(QObject* parent)
    : StockListLayout(QStringLiteral("进销存表"), data().MiosQ, parent)
{
    setObjectName(QStringLiteral("TQRiss"));
    const Qt::Alignment number = Qt::AlignRight;
    build({},
          {{QStringLiteral("货品编码"), QStringLiteral("gods_code"), 24},
           {QStringLiteral("货品名称"), QStringLiteral("gods_name"), 40},
           {QStringLiteral("分类"), QStringLiteral("gods_kind"), 20},
           {QStringLiteral("单位"), QStringLiteral("gods_unit"), 14},
           {QStringLiteral("上月结存"), QStringLiteral("last_amou"), 23, number},
           {QStringLiteral("本月进货"), QStringLiteral("in_amou"), 23, number},
           {QStringLiteral("本月出货"), QStringLiteral("out_amou"), 23, number},
           {QStringLiteral("本月结存"), QStringLiteral("now_amou"), 23, number}},
          false);

    // A printed sheet must say its totals as the window does: one ruled row under the table.
    const double rowHeight = 6;
    addBand(Kind::Summary, rowHeight);
    const double captionWidth = 24 + 40 + 20 + 14;
    addLabel(Kind::Summary, QRectF(0, 0, captionWidth, rowHeight), QStringLiteral("合计"), Qt::AlignHCenter);
    double x = captionWidth;
    for (const char* name : {"last_tota", "in_tota", "out_tota", "now_tota"}) {
        addVLine(Kind::Summary, x, 0, rowHeight);
        addLabel(Kind::Summary, QRectF(x, 0, 23, rowHeight), QString(), number, QString::fromLatin1(name));
        x += 23;
    }
    addBox(Kind::Summary, QRectF(0, 0, x, rowHeight));
}
