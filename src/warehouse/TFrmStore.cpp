#include "warehouse/TFrmStore.h"

#include "core/CurrentRights.h"
#include "core/TFrmDataMod.h"
#include "reports/ReportLayouts.h"
#include "ui/DbGrid.h"
#include "ui/Dialogs.h"
#include "ui/StyleGridDialog.h"
#include "ui/WindowParts.h"
#include "warehouse/WarehouseParts.h"

#include <QHBoxLayout>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

TFrmStore::TFrmStore(QWidget* parent)
    : StockListWindow({dataModule().StoreQ, Function::StockQuery, QStringLiteral("产品编码"),
                       QStringLiteral("产品名称"), QStringLiteral("种类"), QStringLiteral("库存总数量"),
                       QStringLiteral("库存总成本")},
                      parent)
{
    setObjectName(QStringLiteral("TFrmStore"));
    setWindowTitle(QStringLiteral("库存查询"));
    stockGrid->addColumn(QStringLiteral("styl_code"), QStringLiteral("款号"), 70);
    stockGrid->addColumn(QStringLiteral("gods_amou"), QStringLiteral("数量"), 70);
    stockGrid->addColumn(QStringLiteral("cost_pric"), QStringLiteral("成本"), 70);
    stockGrid->addColumn(QStringLiteral("cost_tota"), QStringLiteral("小计"), 80);
    // The value of a row serves only this window; the hook goes when it closes.
    dataModule().StoreQ->addHook(db::Dataset::Hook::Calculate, this, [](db::Dataset& q) {
        q.setCalculated(QStringLiteral("cost_tota"), q.number(QStringLiteral("cost_pric"))
                                                         * q.number(QStringLiteral("gods_amou")));
    });
    styleButton = WindowParts::addButton(toolBar(), "styleButton", QStringLiteral("款式库存(F7)..."));
    connect(styleButton, &QPushButton::clicked, this, &TFrmStore::showStyle);
    for (QWidget* box : {static_cast<QWidget*>(codeEdit), static_cast<QWidget*>(stockGrid)})
        box->installEventFilter(this);
}

bool TFrmStore::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F7 && key->modifiers() == Qt::NoModifier) {
            showStyle();
            return true;
        }
    }
    return StockListWindow::eventFilter(watched, event);
}

void TFrmStore::showStyle()
{
    const db::Dataset* q = dataModule().StoreQ;
    QString typed = codeEdit->text().trimmed();
    if (typed.isEmpty() && q->isOpen() && q->currentRow() >= 0)
        typed = q->text(QStringLiteral("gods_code"));
    try {
        StyleGrid grid = ui::StyleGridDialog::loadTyped(dataModule().AdoConn, typed, this);
        if (grid.isEmpty())
            return;
        grid.showStock(dataModule().AdoConn);
        ui::StyleGridDialog dialog(grid, false, this);
        ui::dialogs().exec(&dialog);
    } catch (const std::exception& e) {
        WarehouseParts::reportFailure(QStringLiteral("无法显示款式库存"), e, this);
    }
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
    report.setLabelText(QStringLiteral("hjsl"), quantityTotalEdit->text());
    report.setLabelText(QStringLiteral("hjcb"), costTotalEdit->text());
    return report;
}
