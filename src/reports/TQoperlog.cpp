// Prints 操作日志: the change log's lines of a period, over OperLogQ.
#include "reports/TQoperlog.h"

#include "core/TFrmDataMod.h"

TQoperlog::TQoperlog(QObject* parent)
    : ListingLayout(QStringLiteral("操作日志"), data().OperLogQ, parent)
{
    setObjectName(QStringLiteral("TQoperlog"));
    build({{{QStringLiteral("日期范围"), 18, QStringLiteral("datea"), 32},
            {QString(), 0, QStringLiteral("dateb"), 32},
            {QStringLiteral("用户"), 12, QStringLiteral("user"), 30}},
           {{QStringLiteral("操作"), 18, QStringLiteral("action"), 32},
            {QStringLiteral("关键字"), 14, QStringLiteral("keytext"), 50}}},
          {{QStringLiteral("时间"), QStringLiteral("log_time"), 34},
           {QStringLiteral("用户"), QStringLiteral("user_id"), 16},
           {QStringLiteral("窗口"), QStringLiteral("win_name"), 22},
           {QStringLiteral("操作"), QStringLiteral("act_name"), 12},
           {QStringLiteral("单号/编码"), QStringLiteral("log_key"), 30},
           {QStringLiteral("摘要"), QStringLiteral("summary"), 72}},
          {{QStringLiteral("记录条数"), 18, QStringLiteral("hjts"), 40}});
}
