// Prints 客户往来明细: one company's movements of a period with the running balance, over CompDetailQ.
#include "reports/TQcompdetail.h"

#include "core/TFrmDataMod.h"

TQcompdetail::TQcompdetail(QObject* parent)
    : ListingLayout(QStringLiteral("客户往来明细"), data().dataset(QStringLiteral("CompDetailQ")), parent)
{
    setObjectName(QStringLiteral("TQcompdetail"));
    build({{{QStringLiteral("客户编码"), 18, QStringLiteral("khbm"), 30},
            {QStringLiteral("客户名称"), 18, QStringLiteral("khmc"), 60},
            {QStringLiteral("日期范围"), 18, QStringLiteral("rqfw"), 46}}},
          {{QStringLiteral("日期"), QStringLiteral("line_date"), 24},
           {QStringLiteral("类别"), QStringLiteral("kind"), 20},
           {QStringLiteral("单号"), QStringLiteral("number"), 34},
           {QStringLiteral("增加"), QStringLiteral("increase"), 22},
           {QStringLiteral("减少"), QStringLiteral("decrease"), 22},
           {QStringLiteral("转入结余"), QStringLiteral("credit"), 22},
           {QStringLiteral("余额"), QStringLiteral("balance"), 24}},
          {{QStringLiteral("上期结余"), 18, QStringLiteral("sqjy"), 40},
           {QStringLiteral("期末余额"), 18, QStringLiteral("qmye"), 40}});
}
