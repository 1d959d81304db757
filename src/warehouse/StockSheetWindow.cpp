#include "warehouse/StockSheetWindow.h"

#include "core/CurrentRights.h"
#include "core/TFrmDataMod.h"
#include "db/Dataset.h"
#include "ui/WindowParts.h"
#include "reports/ReportLayout.h"
#include "ui/DbGrid.h"
#include "ui/DbGridDelegate.h"
#include "ui/Dialogs.h"
#include "ui/FieldValue.h"
#include "ui/StyleGridDialog.h"
#include "ui/WindowPlacement.h"
#include "ui/QuietControls.h"
#include "warehouse/WarehouseParts.h"

#include <QGridLayout>
#include <QHideEvent>
#include <QKeyEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using WindowParts::named;

namespace {
const QString codeField = QStringLiteral("gods_code");
}

StockSheetWindow::StockSheetWindow(int position, StockRules::Sheet kind, const QString& editCaption, QWidget* parent)
    : ui::ModeWindow(parent), m_position(position), m_kind(kind)
{
    resize(980, 600);
    auto* layout = new QVBoxLayout(this);
    auto* bar = new QHBoxLayout;
    cmd_find = WindowParts::addCommand(bar, "cmd_find", WindowParts::Command::Find);
    cmd_edit = WindowParts::addButton(bar, "cmd_edit", editCaption);
    cmd_save = WindowParts::addCommand(bar, "cmd_save", WindowParts::Command::Save);
    cmd_canc = WindowParts::addCommand(bar, "cmd_canc", WindowParts::Command::Cancel);
    cmd_prin = WindowParts::addCommand(bar, "cmd_prin", WindowParts::Command::Print);
    cmd_exit = WindowParts::addCommand(bar, "cmd_exit", WindowParts::Command::Exit);
    bar->addStretch();
    styleButton = WindowParts::addButton(bar, "styleButton", QStringLiteral("尺码颜色(F7)..."));
    styleButton->setFocusPolicy(Qt::NoFocus);
    layout->addLayout(bar);

    m_filterRow = new QGridLayout;
    layout->addLayout(m_filterRow);
    codeEdit = named<QLineEdit>("Edit1");
    stockTotalEdit = named<QLineEdit>("Edit2");
    stockTotalEdit->setReadOnly(true);

    sheetGrid = named<ui::DbGrid>("DBGrid1");
    ui::placeGridWindow(this, sheetGrid);
    WarehouseParts::addGoodsColumns(sheetGrid);
    sheetGrid->addColumn(QStringLiteral("gods_amou"), QStringLiteral("库存数量"), 70);
    for (const char* field : {"gods_code", "gods_name", "gods_kind", "gods_spec", "gods_type", "gods_color",
                              "gods_size", "gods_unit", "gods_amou", "lost_amou"})
        sheetGrid->setColumnReadOnly(QString::fromLatin1(field), true);
    layout->addWidget(sheetGrid, 1);

    connect(cmd_find, &QPushButton::clicked, this, &StockSheetWindow::cmd_findClick);
    connect(cmd_edit, &QPushButton::clicked, this, &StockSheetWindow::cmd_editClick);
    connect(cmd_save, &QPushButton::clicked, this, &StockSheetWindow::cmd_saveClick);
    connect(cmd_canc, &QPushButton::clicked, this, &StockSheetWindow::cmd_cancClick);
    connect(cmd_prin, &QPushButton::clicked, this, &StockSheetWindow::cmd_prinClick);
    connect(cmd_exit, &QPushButton::clicked, this, &StockSheetWindow::cmd_exitClick);
    connect(codeEdit, &QLineEdit::textEdited, this, &StockSheetWindow::onCodeEdited);
    connect(styleButton, &QPushButton::clicked, this, &StockSheetWindow::enterByStyle);
    sheetGrid->installEventFilter(this);
    codeEdit->installEventFilter(this);
    // A quantity typed over counts as entered even when it equals what the row held.
    connect(static_cast<ui::DbGridDelegate*>(sheetGrid->itemDelegate()), &ui::DbGridDelegate::edited, this,
            [this](const QModelIndex& index) {
                if (index.row() < sheet().recordCount())
                    m_entered.add(sheet().value(index.row(), sheet().fieldIndex(codeField)).toString());
            });
    // Each row is refused as it is posted by the rule the save asks, so the user hears of it at the row.
    sheet().addHook(db::Dataset::Hook::BeforePost, this, [this](db::Dataset& d) {
        const QString refusal = StockSheet::lineRefusal(
            m_kind, {d.text(codeField), d.number(QStringLiteral("gods_amou")), d.value(QStringLiteral("chek_amou"))});
        if (!refusal.isEmpty())
            throw ui::InputError(refusal);
    });
}

db::Dataset& StockSheetWindow::sheet() const
{
    return *dataModule().ChektempQ;
}

void StockSheetWindow::showSheet()
{
    if (sheetGrid->dataset() != &sheet())
        sheetGrid->setDataset(&sheet());
}

bool StockSheetWindow::anythingEntered() const
{
    const db::Dataset& q = sheet();
    return !m_entered.isEmpty() || (q.isOpen() && (q.isEditing() || q.hasPendingChanges()));
}

bool StockSheetWindow::askToDiscard() const
{
    return ui::dialogs().ask(const_cast<StockSheetWindow*>(this),
                             QStringLiteral("已输入的%1将全部放弃，确定吗?").arg(StockRules::quantityColumn(m_kind)),
                             QStringLiteral("提示"), true, ui::Dialogs::Default::Cancel);
}

bool StockSheetWindow::canClose() const
{
    return !isEditing() || !anythingEntered() || askToDiscard();
}

void StockSheetWindow::hideEvent(QHideEvent* event)
{
    // Minimizing hides the window too (a spontaneous hide); only closing it ends the hooks.
    if (!event->spontaneous())
        sheet().removeHooks(this);
    ui::ModeWindow::hideEvent(event);
}

void StockSheetWindow::updateButtons()
{
    const bool editing = isEditing();
    sheetGrid->setReadOnly(!editing);
    cmd_edit->setEnabled(!editing);
    cmd_find->setEnabled(!editing);
    cmd_prin->setEnabled(!editing);
    cmd_exit->setEnabled(!editing);
    cmd_save->setEnabled(editing);
    cmd_canc->setEnabled(editing);
    styleButton->setEnabled(editing);
    if (!editing) {
        ui::applyRight(cmd_edit, Right::Edit, m_position);
        ui::applyRight(cmd_find, Right::Find, m_position);
        ui::applyRight(cmd_prin, Right::Print, m_position);
    }
    updateExtraControls(editing);
}

bool StockSheetWindow::postTypedRow()
{
    if (!sheetGrid->commitEditor())
        return false;
    try {
        sheet().post();
        return true;
    } catch (const ui::InputError& e) {
        ui::warn(QString::fromUtf8(e.what()), this);
    } catch (const std::exception& e) {
        WarehouseParts::reportFailure(QStringLiteral("保存失败"), e, this);
    }
    sheetGrid->setFocus();
    return false;
}

bool StockSheetWindow::acceptSaveResult(const StockSheet::SaveResult& result)
{
    switch (result.outcome) {
    case StockSheet::Outcome::Saved:
        m_saveAttempt.succeeded();
        return true;
    case StockSheet::Outcome::NothingToSave:
        ui::inform(QStringLiteral("没有改动任何%1，无需保存").arg(StockRules::quantityColumn(m_kind)), this);
        sheet().cancelBatch();
        setMode(Mode::Browsing);
        return false;
    case StockSheet::Outcome::Refused:
        ui::warn(result.message, this);
        try {
            WarehouseParts::moveToCode(sheet(), result.goods);
        } catch (const std::exception&) {
        }
        sheetGrid->setFocus();
        return false;
    case StockSheet::Outcome::AlreadySaved:
        showStored();
        return false;
    case StockSheet::Outcome::MonthCounted:
        break;
    }
    return false;
}

bool StockSheetWindow::showIfStored(const std::exception& failure, const QString& saveId)
{
    // A save whose answer was lost may be stored: it is looked for before the failure is told.
    const std::optional<bool> stored = SaveIdentity::findAfter<bool>(failure, [&]() -> std::optional<bool> {
        if (!StockSheet::isStored(dataModule().AdoConn, saveId))
            return std::nullopt;
        return true;
    });
    if (!stored)
        return false;
    showStored();
    return true;
}

void StockSheetWindow::showStored()
{
    ui::inform(SaveIdentity::alreadySaved, this);
    m_saveAttempt.succeeded();
    m_entered.clear();
    try {
        sheetGrid->dropEditor();
        sheet().cancelBatch();
    } catch (const std::exception&) {
        // The sheet is opened anew below.
    }
    setMode(Mode::Browsing);
    cmd_findClick();
}

void StockSheetWindow::cmd_cancClick()
{
    if (anythingEntered() && !askToDiscard())
        return;
    try {
        sheetGrid->dropEditor();
        sheet().cancel();
        sheet().cancelBatch();
    } catch (const std::exception&) {
        // Nothing was being typed; the sheet keeps what it holds.
    }
    m_entered.clear();
    setMode(Mode::Browsing);
}

void StockSheetWindow::cmd_prinClick()
{
    db::Dataset& q = sheet();
    if (!q.isOpen())
        return;
    try {
        ReportLayout& layout = report();
        const ui::QuietControls quiet(q);
        layout.preview(this);
    } catch (const std::exception& e) {
        WarehouseParts::reportFailure(QStringLiteral("打印失败"), e, this);
    }
}

void StockSheetWindow::onCodeEdited()
{
    db::Dataset& q = sheet();
    if (!q.isOpen() || q.isEmpty())
        return;
    const QString code = codeEdit->text().trimmed();
    try {
        if (WarehouseParts::moveToCode(q, code) && m_focusGridOnFind)
            sheetGrid->setFocus();
    } catch (const std::exception&) {
    }
}

bool StockSheetWindow::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == sheetGrid || watched == codeEdit) && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F7 && key->modifiers() == Qt::NoModifier) {
            enterByStyle();
            return true;
        }
    }
    return ui::ModeWindow::eventFilter(watched, event);
}

void StockSheetWindow::enterByStyle()
{
    db::Dataset& q = sheet();
    if (!isEditing() || !q.isOpen() || !sheetGrid->commitEditor())
        return;
    const QString quantity = QStringLiteral("chek_amou");
    try {
        q.post();
        const QString typed = codeEdit->text().trimmed().isEmpty() ? q.text(QStringLiteral("gods_code")) : codeEdit->text();
        StyleGrid grid = ui::StyleGridDialog::loadTyped(q.connection(), typed, this);
        if (grid.isEmpty())
            return;
        QList<StyleGrid::Line> lines;
        const int code = q.fieldIndex(QStringLiteral("gods_code"));
        const int amount = q.fieldIndex(quantity);
        for (int row = 0; row < q.recordCount(); ++row)
            lines.append({q.value(row, code).toString(), q.value(row, amount).toDouble()});
        // A sheet holds the goods that have stock records; the others cannot be typed here.
        grid.limitToLines(lines);
        grid.showLines(lines);
        ui::StyleGridDialog dialog(grid, true, this);
        if (ui::dialogs().exec(&dialog) != QDialog::Accepted)
            return;
        // On a sheet a zero is a quantity like any other: its row stays.
        for (const StyleGrid::Change& change : dialog.grid().changes(lines)) {
            if (change.line < 0)
                continue;
            q.moveTo(change.line);
            q.setValue(quantity, change.quantity);
            q.post();
            m_entered.add(q.text(codeField));
        }
    } catch (const std::exception& e) {
        WarehouseParts::reportFailure(QStringLiteral("无法按款式输入"), e, this);
    }
    sheetGrid->setFocus();
}

void StockSheetWindow::cmd_exitClick()
{
    close();
}
