#include "warehouse/TFrmAlarm.h"

#include "core/CurrentRights.h"
#include "core/TFrmDataMod.h"
#include "reports/ReportLayouts.h"
#include "ui/DbGrid.h"

#include <QLineEdit>

TFrmAlarm::TFrmAlarm(QWidget* parent)
    : StockListWindow({dataModule().AlarmQ, Function::StockAlarm, QStringLiteral("货品编码"),
                       QStringLiteral("货品名称"), QStringLiteral("分类"), QStringLiteral("总数量"), QString()},
                      parent)
{
    setObjectName(QStringLiteral("TFrmAlarm"));
    setWindowTitle(QStringLiteral("库存报警"));
    stockGrid->addColumn(QStringLiteral("gods_amou"), QStringLiteral("数量"), 70);
    stockGrid->addColumn(QStringLiteral("max_amou"), QStringLiteral("库存上限"), 70);
    stockGrid->addColumn(QStringLiteral("min_amou"), QStringLiteral("库存下限"), 70);
}

void TFrmAlarm::prepareQuery()
{
    StockQuery::prepareAlarm(*dataModule().AlarmQ, filter());
}

ReportLayout& TFrmAlarm::prepareReport()
{
    TQalarm& report = ReportLayouts::get<TQalarm>();
    report.setLabelText(QStringLiteral("hjsl"), quantityTotalEdit->text());
    return report;
}
