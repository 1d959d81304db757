#include "warehouse/TFrmStore.h"

#include "core/CurrentRights.h"
#include "core/TFrmDataMod.h"
#include "reports/ReportLayouts.h"
#include "ui/DbGrid.h"

#include <QHideEvent>
#include <QLineEdit>

TFrmStore::TFrmStore(QWidget* parent)
    : StockListWindow({dataModule().StoreQ, Function::StockQuery, QStringLiteral("产品编码"),
                       QStringLiteral("产品名称"), QStringLiteral("种类"), QStringLiteral("库存总数量"),
                       QStringLiteral("库存总成本")},
                      parent)
{
    setObjectName(QStringLiteral("TFrmStore"));
    setWindowTitle(QStringLiteral("库存查询"));
    DBGrid1->addColumn(QStringLiteral("gods_amou"), QStringLiteral("数量"), 70);
    DBGrid1->addColumn(QStringLiteral("cost_pric"), QStringLiteral("成本"), 70);
    DBGrid1->addColumn(QStringLiteral("cost_tota"), QStringLiteral("小计"), 80);
    // The value of a row serves only this window; the hook goes when it closes.
    dataModule().StoreQ->addHook(db::Dataset::Hook::Calculate, this, [](db::Dataset& q) {
        q.setCalculated(QStringLiteral("cost_tota"), q.number(QStringLiteral("cost_pric"))
                                                         * q.number(QStringLiteral("gods_amou")));
    });
}

void TFrmStore::hideEvent(QHideEvent* event)
{
    // Minimizing hides the window too (a spontaneous hide); only closing it ends the hooks.
    if (!event->spontaneous())
        dataModule().StoreQ->removeHooks(this);
    StockListWindow::hideEvent(event);
}

void TFrmStore::prepareQuery()
{
    StockQuery::prepareStock(*dataModule().StoreQ, filter());
}

ReportLayout& TFrmStore::prepareReport()
{
    TRptstore& report = ReportLayouts::get<TRptstore>();
    report.setLabelText(QStringLiteral("hjsl"), Edit2->text());
    report.setLabelText(QStringLiteral("hjcb"), Edit3->text());
    return report;
}
