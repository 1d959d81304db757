#include "warehouse/TFrmStorChg.h"

#include "core/DataHelpers.h"
#include "core/CurrentRights.h"
#include "core/TFrmDataMod.h"
#include "db/Dataset.h"
#include "reports/ReportLayouts.h"
#include "ui/BusyCursor.h"
#include "ui/DbGrid.h"
#include "ui/Dialogs.h"
#include "ui/WindowParts.h"
#include "ui/QuietControls.h"
#include "shop/StockQuery.h"
#include "warehouse/WarehouseParts.h"
#include "warehouse/WorkProgress.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>

TFrmStorChg::TFrmStorChg(QWidget* parent)
    : StockSheetWindow(Function::StockAdjust, StockRules::Sheet::Adjustment, QStringLiteral("修改[&V]"), parent)
{
    setObjectName(QStringLiteral("TFrmStorChg"));
    setWindowTitle(QStringLiteral("库存调整"));
    WindowParts::addLabelled(filterRow(), {{QStringLiteral("产品编码"), codeEdit}, {QStringLiteral("库存总数量"), stockTotalEdit}},
                             2);
    sheetGrid->addColumn(QStringLiteral("chek_amou"), QStringLiteral("调整数量"), 70);
    setFocusGridOnFind(true);

    ui::BusyCursor busy;
    try {
        StockSheet::openEmpty(sheet());
        showSheet();
    } catch (const std::exception& e) {
        WarehouseParts::reportFailure(QStringLiteral("无法打开调整表"), e, this);
    }
    setMode(Mode::Browsing);
}

void TFrmStorChg::cmd_findClick()
{
    ui::BusyCursor busy;
    db::Dataset& q = sheet();
    try {
        const ui::QuietControls quiet(q);
        StockSheet::openBook(q, false);
        showSheet();
        stockTotalEdit->setText(DataHelpers::amountText(StockQuery::sum(q).quantity));
    } catch (const std::exception& e) {
        WarehouseParts::reportFailure(QStringLiteral("无法读取库存"), e, this);
    }
}

void TFrmStorChg::cmd_editClick()
{
    db::Dataset& q = sheet();
    if (!q.isOpen() || q.isEmpty())
        return;
    if (!ui::dialogs().ask(this, QStringLiteral("本操作将影响目前库存，确认是否继续操作?"), QStringLiteral("警告"),
                           false, ui::Dialogs::Default::Cancel))
        return;
    ui::BusyCursor busy;
    try {
        const ui::QuietControls quiet(q);
        // Every new quantity starts at the book quantity of now.
        const int row = q.currentRow();
        StockSheet::openBook(q, true);
        if (row >= 0 && row < q.recordCount())
            q.moveTo(row);
    } catch (const std::exception& e) {
        WarehouseParts::reportFailure(QStringLiteral("无法开始调整"), e, this);
        return;
    }
    entered().clear();
    setMode(Mode::Editing);
}

void TFrmStorChg::cmd_saveClick()
{
    db::Dataset& q = sheet();
    if (!q.isOpen() || q.isEmpty() || !postTypedRow())
        return;
    const QList<StockSheet::Line> lines = StockSheet::lines(q);
    const QString saveId = saveIdentityFor(lines);
    StockSheet::SaveResult result;
    try {
        WorkProgress progress(QStringLiteral("正在保存库存调整..."), this);
        result = StockSheet::saveAdjustment(dataModule().AdoConn, lines, saveId,
                                            [&progress](int done, int total) { progress.step(done, total); });
    } catch (const std::exception& e) {
        if (!showIfStored(e, saveId))
            WarehouseParts::reportFailure(QStringLiteral("库存调整保存失败，库存未作任何改动"), e, this);
        return;
    }
    if (acceptSaveResult(result))
        setMode(Mode::Browsing);
}

ReportLayout& TFrmStorChg::report()
{
    return ReportLayouts::get<TQRcheck>();
}
