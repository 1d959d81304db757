// Prints 应收账龄 / 应付账龄: what each company owes by bill age on a date, over AgeingQ.
#include "reports/TQageing.h"

#include "core/TFrmDataMod.h"

TQageing::TQageing(QObject* parent)
    : ListingLayout(QStringLiteral("应收账龄"), data().dataset(QStringLiteral("AgeingQ")), parent)
{
    setObjectName(QStringLiteral("TQageing"));
    build({{{QStringLiteral("账龄日期"), 18, QStringLiteral("asof"), 40}}},
          {{QStringLiteral("公司编码"), QStringLiteral("comp_code"), 20},
           {QStringLiteral("公司名称"), QStringLiteral("comp_name"), 42},
           {QStringLiteral("0-30天"), QStringLiteral("age_30"), 20},
           {QStringLiteral("31-60天"), QStringLiteral("age_60"), 20},
           {QStringLiteral("61-90天"), QStringLiteral("age_90"), 20},
           {QStringLiteral("90天以上"), QStringLiteral("age_over"), 20},
           {QStringLiteral("合计"), QStringLiteral("open_tota"), 24},
           {QStringLiteral("余额"), QStringLiteral("rest_tota"), 20}},
          {{QStringLiteral("欠款合计"), 18, QStringLiteral("hjje"), 40},
           {QStringLiteral("余额合计"), 18, QStringLiteral("hjye"), 40}});
}
