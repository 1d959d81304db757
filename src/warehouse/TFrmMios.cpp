#include "warehouse/TFrmMios.h"

#include "core/DataHelpers.h"
#include "core/Clock.h"
#include "core/CurrentRights.h"
#include "core/TFrmDataMod.h"
#include "db/Dataset.h"
#include "ui/WindowParts.h"
#include "reports/ReportLayouts.h"
#include "ui/BusyCursor.h"
#include "ui/DbGrid.h"
#include "ui/ModeWindow.h"
#include "ui/WindowPlacement.h"
#include "ui/QuietControls.h"
#include "shop/StockMovement.h"
#include "warehouse/WarehouseParts.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using WindowParts::named;

TFrmMios::TFrmMios(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TFrmMios"));
    setWindowTitle(QStringLiteral("月进销存"));
    resize(980, 600);
    auto* layout = new QVBoxLayout(this);
    auto* bar = new QHBoxLayout;
    cmd_find = WindowParts::addCommand(bar, "cmd_find", WindowParts::Command::Find);
    cmd_prin = WindowParts::addCommand(bar, "cmd_prin", WindowParts::Command::Print);
    cmd_exit = WindowParts::addCommand(bar, "cmd_exit", WindowParts::Command::Exit);
    bar->addStretch();
    layout->addLayout(bar);

    monthEdit = named<QDateEdit>("DateTimePicker1");
    monthEdit->setDisplayFormat(QStringLiteral("yyyy'年'M'月'd'日'"));
    inTotalEdit = named<QLineEdit>("Edit1");
    outTotalEdit = named<QLineEdit>("Edit2");
    closingTotalEdit = named<QLineEdit>("Edit3");
    for (QLineEdit* box : {inTotalEdit, outTotalEdit, closingTotalEdit})
        box->setReadOnly(true);
    auto* row = new QGridLayout;
    WindowParts::addLabelled(row, {{QStringLiteral("统计月份"), monthEdit}, {QStringLiteral("进货总数"), inTotalEdit},
                                   {QStringLiteral("销售总数"), outTotalEdit}, {QStringLiteral("结存总数"), closingTotalEdit}},
                             4);
    layout->addLayout(row);

    movementGrid = named<ui::DbGrid>("DBGrid1");
    ui::placeGridWindow(this, movementGrid);
    movementGrid->setReadOnly(true);
    movementGrid->setRowSelect(true);
    WarehouseParts::addGoodsColumns(movementGrid);
    movementGrid->addColumn(QStringLiteral("last_amou"), QStringLiteral("上月结存"), 70);
    movementGrid->addColumn(QStringLiteral("in_amou"), QStringLiteral("本月进货"), 70);
    movementGrid->addColumn(QStringLiteral("out_amou"), QStringLiteral("本月出货"), 70);
    movementGrid->addColumn(QStringLiteral("now_amou"), QStringLiteral("本月结存"), 70);
    layout->addWidget(movementGrid, 1);

    connect(cmd_find, &QPushButton::clicked, this, &TFrmMios::cmd_findClick);
    connect(cmd_prin, &QPushButton::clicked, this, &TFrmMios::cmd_prinClick);
    connect(cmd_exit, &QPushButton::clicked, this, &TFrmMios::cmd_exitClick);

    ui::BusyCursor busy;
    monthEdit->setDate(Clock::today());
    try {
        dataModule().AdoConn.execute(QStringLiteral("delete from mios"));
        reopen();
    } catch (const std::exception& e) {
        WarehouseParts::reportFailure(QStringLiteral("无法清空进销存表"), e, this);
    }
    ui::applyRight(cmd_find, Right::Find, Function::StockMovement);
    ui::applyRight(cmd_prin, Right::Print, Function::StockMovement);
}

void TFrmMios::reopen()
{
    db::Dataset* q = dataModule().MiosQ;
    q->close();
    q->setSql(QStringLiteral("select * from mios"));
    q->setLocking(db::Dataset::Locking::Optimistic);
    q->open();
    if (movementGrid->dataset() != q)
        movementGrid->setDataset(q);
}

void TFrmMios::cmd_findClick()
{
    db::Dataset* q = dataModule().MiosQ;
    const QDate date = monthEdit->date();
    cmd_find->setEnabled(false);
    StockMovement::Totals totals;
    bool done = false;
    {
        ui::BusyCursor busy;
        try {
            const ui::QuietControls quiet(*q);
            totals = StockMovement::compute(dataModule().AdoConn, date.year(), date.month());
            reopen();
            done = true;
        } catch (const std::exception& e) {
            // A part of a month is no month: show nothing rather than an incomplete table.
            q->close();
            for (QLineEdit* box : {inTotalEdit, outTotalEdit, closingTotalEdit})
                box->clear();
            cmd_find->setEnabled(true);
            ui::applyRight(cmd_find, Right::Find, Function::StockMovement);
            cmd_prin->setEnabled(false);
            WarehouseParts::reportFailure(QStringLiteral("统计失败"), e, this);
            return;
        }
    }
    m_month = date;
    m_totals = totals;
    inTotalEdit->setText(DataHelpers::amountText(totals.in));
    outTotalEdit->setText(DataHelpers::amountText(totals.out));
    closingTotalEdit->setText(DataHelpers::amountText(totals.closing));
    cmd_find->setEnabled(true);
    ui::applyRight(cmd_find, Right::Find, Function::StockMovement);
    cmd_prin->setEnabled(done && !q->isEmpty());
    ui::applyRight(cmd_prin, Right::Print, Function::StockMovement);
}

void TFrmMios::cmd_prinClick()
{
    db::Dataset* q = dataModule().MiosQ;
    if (!q->isOpen() || q->isEmpty())
        return;
    try {
        TQRiss& report = ReportLayouts::get<TQRiss>();
        report.setLabelText(QStringLiteral("title"),
                            QStringLiteral("%1年%2月进销存表").arg(m_month.year()).arg(m_month.month()));
        report.setLabelText(QStringLiteral("last_tota"), DataHelpers::amountText(m_totals.opening));
        report.setLabelText(QStringLiteral("in_tota"), DataHelpers::amountText(m_totals.in));
        report.setLabelText(QStringLiteral("out_tota"), DataHelpers::amountText(m_totals.out));
        report.setLabelText(QStringLiteral("now_tota"), DataHelpers::amountText(m_totals.closing));
        const ui::QuietControls quiet(*q);
        report.preview(this);
    } catch (const std::exception& e) {
        WarehouseParts::reportFailure(QStringLiteral("打印失败"), e, this);
    }
}

void TFrmMios::cmd_exitClick()
{
    close();
}
