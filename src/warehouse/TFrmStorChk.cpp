#include "warehouse/TFrmStorChk.h"

#include "core/DataHelpers.h"
#include "core/Clock.h"
#include "core/CurrentRights.h"
#include "shop/StockPosting.h"
#include "core/TFrmDataMod.h"
#include "db/Dataset.h"
#include "ui/WindowParts.h"
#include "reports/ReportLayouts.h"
#include "ui/BusyCursor.h"
#include "ui/DbGrid.h"
#include "ui/Dialogs.h"
#include "warehouse/CountScan.h"
#include "ui/ScanBar.h"
#include "ui/QuietControls.h"
#include "warehouse/WarehouseParts.h"
#include "warehouse/WorkProgress.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>

namespace {
const QString countedMessage = QStringLiteral("该月已盘点，不能再进行盘点操作!请查询.");
}

TFrmStorChk::TFrmStorChk(QWidget* parent)
    : StockSheetWindow(Function::StockCount, StockRules::Sheet::Count, QStringLiteral("盘点[&V]"), parent)
{
    setObjectName(QStringLiteral("TFrmStorChk"));
    setWindowTitle(QStringLiteral("库存盘点"));
    monthEdit = WindowParts::named<QDateEdit>("DateTimePicker1");
    monthEdit->setDisplayFormat(QStringLiteral("yyyy'年'M'月'd'日'"));
    monthEdit->setDate(Clock::today());
    countedTotalEdit = WindowParts::named<QLineEdit>("Edit3");
    countedTotalEdit->setReadOnly(true);
    WindowParts::addLabelled(filterRow(),
                             {{QStringLiteral("盘点月份"), monthEdit}, {QStringLiteral("产品编码"), codeEdit},
                              {QStringLiteral("库存总数量"), stockTotalEdit}, {QStringLiteral("盘点数量"), countedTotalEdit}},
                             4);
    sheetGrid->addColumn(QStringLiteral("chek_amou"), QStringLiteral("实盘数量"), 70);
    scan = new CountScan(&sheet(), &entered(), sheetGrid, this);
    filterRow()->addWidget(scan->bar(), filterRow()->rowCount(), 0, 1, -1);
    sheetGrid->addColumn(QStringLiteral("lost_amou"), QStringLiteral("盈亏数量"), 70);

    ui::BusyCursor busy;
    // Serves only while this window is open.
    sheet().addHook(db::Dataset::Hook::Calculate, this, [](db::Dataset& d) {
        d.setCalculated(QStringLiteral("lost_amou"),
                        d.number(QStringLiteral("chek_amou")) - d.number(QStringLiteral("gods_amou")));
    });
    setMode(Mode::Browsing);
    try {
        StockSheet::openEmpty(sheet());
        showSheet();
    } catch (const std::exception& e) {
        WarehouseParts::reportFailure(QStringLiteral("无法打开盘点表"), e, this);
    }
}

void TFrmStorChk::updateExtraControls(bool editing)
{
    monthEdit->setEnabled(!editing);
    if (scan)
        scan->setCounting(editing);
}

void TFrmStorChk::cmd_editClick()
{
    const QDate date = monthEdit->date();
    db::Dataset& q = sheet();
    try {
        bool started = false;
        {
            WorkProgress progress(QStringLiteral("正在准备盘点..."), this);
            const ui::QuietControls quiet(q);
            started = StockSheet::startCount(q, date);
        }
        if (!started) {
            ui::inform(countedMessage, this);
            return;
        }
        showSheet();
    } catch (const std::exception& e) {
        WarehouseParts::reportFailure(QStringLiteral("无法开始盘点"), e, this);
        return;
    }
    ui::inform(QStringLiteral("本系统采用安全盘点法：'即初始默认盘点数量与实际库存'大部分相同的情况下进行盘点"), this);
    entered().clear();
    setMode(Mode::Editing);
}

void TFrmStorChk::cmd_saveClick()
{
    if (!postTypedRow() || !scan->review())
        return;
    const QList<StockSheet::Line> lines = StockSheet::lines(sheet());
    const QString saveId = saveIdentityFor(lines);
    StockSheet::SaveResult result;
    try {
        WorkProgress progress(QStringLiteral("正在保存盘点..."), this);
        result = StockSheet::saveCount(dataModule().AdoConn, monthEdit->date(), lines, saveId,
                                       [&progress](int done, int total) { progress.step(done, total); });
    } catch (const std::exception& e) {
        if (!showIfStored(e, saveId))
            WarehouseParts::reportFailure(QStringLiteral("盘点保存失败，库存与盘点记录均未改动"), e, this);
        return;
    }
    if (result.outcome == StockSheet::Outcome::MonthCounted) {
        ui::warn(countedMessage, this);
        return;
    }
    if (acceptSaveResult(result))
        setMode(Mode::Browsing);
}

void TFrmStorChk::cmd_findClick()
{
    db::Dataset& q = sheet();
    int rows = 0;
    {
        ui::BusyCursor busy;
        try {
            const ui::QuietControls quiet(q);
            rows = StockSheet::openStoredCount(q, monthEdit->date());
            showSheet();
        } catch (const std::exception& e) {
            WarehouseParts::reportFailure(QStringLiteral("查询失败"), e, this);
            return;
        }
    }
    double book = 0;
    double counted = 0;
    const int bookField = q.fieldIndex(QStringLiteral("gods_amou"));
    const int countedField = q.fieldIndex(QStringLiteral("chek_amou"));
    for (int row = 0; row < q.recordCount(); ++row) {
        book += q.value(row, bookField).toDouble();
        counted += q.value(row, countedField).toDouble();
    }
    stockTotalEdit->setText(DataHelpers::amountText(book));
    countedTotalEdit->setText(DataHelpers::amountText(counted));
    if (rows == 0)
        ui::inform(QStringLiteral("本月没有盘点数据！"), this);
}

ReportLayout& TFrmStorChk::report()
{
    return ReportLayouts::get<TQRpd>();
}
