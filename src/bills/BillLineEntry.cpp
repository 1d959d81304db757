#include "bills/BillLineEntry.h"

#include "core/DataHelpers.h"
#include "core/TFrmDataMod.h"
#include "db/Dataset.h"
#include "shop/Amounts.h"
#include "shop/Barcodes.h"
#include "shop/StockPosting.h"
#include "ui/DatasetModel.h"
#include "ui/DbGrid.h"
#include "ui/Dialogs.h"
#include "ui/EnterWalk.h"
#include "ui/FieldValue.h"
#include "ui/StyleGridDialog.h"
#include "ui/TFrmGoodsFind.h"

#include <QCompleter>
#include <QKeyEvent>
#include <QLineEdit>

namespace {

const QString goodsCode = QStringLiteral("gods_code");
const QString quantity = QStringLiteral("sub_amou");
const QString unitPrice = QStringLiteral("unit_pric");
const QString remark = QStringLiteral("remark");
const QString listPrice = QStringLiteral("list_pric");
const QString markName = QStringLiteral("mark_name");

} // namespace

BillLineEntry::BillLineEntry(ui::DbGrid* grid, db::Dataset* lines, const Options& options, QWidget* window)
    : QObject(window), m_grid(grid), m_lines(lines), m_options(options), m_window(window)
{
    ui::setWalksEnter(grid);
    grid->installEventFilter(this);
    grid->viewport()->installEventFilter(this);
}

bool BillLineEntry::isBlank(int row) const
{
    for (const QString& field : {goodsCode, quantity, unitPrice, remark}) {
        const QVariant v = m_lines->value(row, m_lines->fieldIndex(field));
        if (!v.isNull() && !v.toString().trimmed().isEmpty())
            return false;
    }
    return true;
}

bool BillLineEntry::commit()
{
    return m_grid->commitEditor();
}

// ---------------------------------------------------------------- checks

BillRules::Refusal BillLineEntry::lineRefusal(int row) const
{
    return BillRules::lineRefusal(m_lines->connection(), row, m_lines->value(row, m_lines->fieldIndex(goodsCode)).toString(),
                                  m_lines->value(row, m_lines->fieldIndex(quantity)),
                                  m_lines->value(row, m_lines->fieldIndex(unitPrice)));
}

BillRules::Refusal BillLineEntry::refusal() const
{
    for (int row = 0; row < m_lines->recordCount(); ++row) {
        if (isBlank(row))
            continue;
        if (BillRules::Refusal why = lineRefusal(row); !why.isEmpty())
            return why;
    }
    return {};
}

void BillLineEntry::refuse(const BillRules::Refusal& refusal)
{
    QString field = goodsCode;
    if (refusal.column == BillRules::Column::Quantity)
        field = quantity;
    else if (refusal.column == BillRules::Column::Price)
        field = unitPrice;
    refuse(refusal.message, refusal.line, columnOf(field));
}

void BillLineEntry::refuse(const QString& message, int row, int column)
{
    ui::inform(message, m_window);
    moveTo(row, column);
}

// ---------------------------------------------------------------- the Enter walk

int BillLineEntry::columnOf(const QString& field) const
{
    return m_grid->datasetModel()->columnOfField(field);
}

bool BillLineEntry::enter(QLineEdit* editor)
{
    const QModelIndex index = m_grid->currentIndex();
    const int row = index.isValid() ? index.row() : m_lines->currentRow();
    if (row < 0)
        return true;
    const int column = index.column();
    if (column == columnOf(goodsCode)) {
        const QString code = (editor ? editor->text() : m_lines->value(row, m_lines->fieldIndex(goodsCode)).toString())
                                 .trimmed();
        if (code.isEmpty()) {
            // A line without goods: the lines are done, the bill's remark is next.
            m_grid->dropEditor();
            if (isBlank(row) && m_exit)
                m_exit->setFocus();
            return true;
        }
        if (takeCode(row, code))
            moveTo(row, columnOf(unitPrice));
        return true;
    }
    if (column == columnOf(unitPrice)) {
        if (commit()) {
            keepRuleOnlyAtItsPrice(row);
            moveTo(row, columnOf(quantity));
        }
        return true;
    }
    if (column == columnOf(quantity)) {
        if (!commit())
            return true;
        const QVariant typed = m_lines->value(row, m_lines->fieldIndex(quantity));
        if (const QString why = BillRules::quantityRefusal(typed); !why.isEmpty()) {
            refuse(QStringLiteral("第%1行：").arg(row + 1) + why, row, column);
            return true;
        }
        if (m_options.stockRemarks)
            moveTo(row, columnOf(remark));
        else
            nextLine(row);
        return true;
    }
    if (commit())
        nextLine(row);
    return true;
}

// A typed code must name goods (a scanned barcode names its goods' code); a
// known one brings its price when the line changed.
bool BillLineEntry::takeCode(int row, const QString& typed)
{
    const QString code = Barcodes::goodsFor(m_lines->connection(), typed);
    if (code.isEmpty()) {
        m_grid->dropEditor();
        ui::inform(QStringLiteral("货品编码“%1”不存在").arg(typed), m_window);
        pickGoods(typed);
        return false;
    }
    // A barcode, or a code typed in another case, becomes the goods' own code.
    if (code != typed) {
        if (QLineEdit* open = m_grid->openEditor())
            open->setText(code);
        else
            m_grid->editCell(row, columnOf(goodsCode), code);
    }
    if (!commit())
        return false;
    if (m_lines->currentRow() == row && m_lines->isEditing())
        fillPrice(code);
    return true;
}

void BillLineEntry::fillPrice(const QString& code)
{
    const QString price = DataHelpers::lookup(QStringLiteral("goods"), goodsCode, code, m_options.priceColumn);
    if (price.isEmpty()) {
        if (m_options.unknownPriceClears)
            m_lines->setValue(unitPrice, price);
        return;
    }
    if (m_options.pricer) {
        const LinePricing::Priced priced = m_options.pricer(code);
        m_lines->setValue(unitPrice, priced.price);
        m_lines->setValue(listPrice, priced.listPrice);
        m_lines->setValue(markName, priced.rule.isEmpty() ? QVariant() : QVariant(priced.rule));
        return;
    }
    m_lines->setValue(unitPrice, price);
}

void BillLineEntry::reprice(const std::function<LinePricing::Priced(const QString& code)>& before)
{
    if (!m_options.pricer || !commit())
        return;
    const int current = m_lines->currentRow();
    for (int row = 0; row < m_lines->recordCount(); ++row) {
        const QString code = m_lines->value(row, m_lines->fieldIndex(goodsCode)).toString().trimmed();
        const QVariant price = m_lines->value(row, m_lines->fieldIndex(unitPrice));
        if (code.isEmpty() || price.isNull() || shop::amounts::cents(price.toDouble()) != before(code).price)
            continue;
        const LinePricing::Priced priced = m_options.pricer(code);
        m_lines->moveTo(row);
        m_lines->edit();
        m_lines->setValue(unitPrice, priced.price);
        m_lines->setValue(listPrice, priced.listPrice);
        m_lines->setValue(markName, priced.rule.isEmpty() ? QVariant() : QVariant(priced.rule));
        m_lines->post();
    }
    if (current >= 0 && current < m_lines->recordCount())
        m_lines->moveTo(current);
}

void BillLineEntry::keepRuleOnlyAtItsPrice(int row)
{
    const int rule = m_lines->fieldIndex(markName);
    if (!m_options.pricer || rule < 0 || m_lines->value(row, rule).toString().isEmpty())
        return;
    const QString code = m_lines->value(row, m_lines->fieldIndex(goodsCode)).toString();
    const double typed = m_lines->value(row, m_lines->fieldIndex(unitPrice)).toDouble();
    // A price typed by hand is no markdown's.
    if (shop::amounts::cents(typed) != m_options.pricer(code).price)
        m_lines->setValue(markName, QVariant());
}

void BillLineEntry::moveTo(int row, int column)
{
    m_grid->dropEditor();
    m_grid->setCurrentIndex(m_grid->model()->index(row, column));
    m_grid->setFocus();
}

// After the last line comes a new one, never an earlier line.
void BillLineEntry::nextLine(int row)
{
    if (row + 1 < m_lines->recordCount()) {
        moveTo(row + 1, columnOf(goodsCode));
        return;
    }
    if (!isBlank(row))
        m_lines->append();
    moveTo(m_lines->currentRow(), columnOf(goodsCode));
}

// Moving below the last line starts a new one; leaving a new line untouched drops it.
bool BillLineEntry::moveBelowLast(int key)
{
    const int row = m_lines->currentRow();
    const bool last = row == m_lines->recordCount() - 1;
    const bool blankNew = m_lines->state() == db::Dataset::State::Insert && row >= 0 && isBlank(row);
    if (key == Qt::Key_Down && last) {
        if (!blankNew)
            m_lines->append();
        return true;
    }
    if (key == Qt::Key_Up && blankNew && row > 0) {
        m_lines->cancel();
        return true;
    }
    return false;
}

// ---------------------------------------------------------------- size and colour grid

void BillLineEntry::enterByStyle()
{
    if (!m_editing || !m_lines->isOpen())
        return;
    QLineEdit* editor = m_grid->openEditor();
    const bool typedCode = editor && m_grid->currentIndex().column() == columnOf(goodsCode);
    // A style typed in the code cell is no goods code: it never reaches the line.
    const QString typed = typedCode ? editor->text().trimmed() : m_lines->text(goodsCode).trimmed();
    if (typedCode)
        m_grid->dropEditor();
    else if (!commit())
        return;
    StyleGrid grid = ui::StyleGridDialog::loadTyped(m_lines->connection(), typed, m_window);
    if (grid.isEmpty())
        return;
    QList<StyleGrid::Line> lines;
    const int code = m_lines->fieldIndex(goodsCode);
    const int amount = m_lines->fieldIndex(quantity);
    for (int row = 0; row < m_lines->recordCount(); ++row)
        lines.append({m_lines->value(row, code).toString(), m_lines->value(row, amount).toDouble()});
    grid.showLines(lines);
    ui::StyleGridDialog dialog(grid, true, m_window);
    if (ui::dialogs().exec(&dialog) != QDialog::Accepted)
        return;
    const QList<StyleGrid::Change> changes = dialog.grid().changes(lines);
    // Removed lines go from the bottom up, so the rows of the others stay valid.
    for (auto it = changes.crbegin(); it != changes.crend(); ++it)
        if (it->kind == StyleGrid::Change::Kind::Remove) {
            m_lines->moveTo(it->line);
            m_lines->remove();
        }
    for (const StyleGrid::Change& change : changes)
        if (change.kind == StyleGrid::Change::Kind::Update) {
            int row = change.line;
            for (const StyleGrid::Change& removed : changes)
                if (removed.kind == StyleGrid::Change::Kind::Remove && removed.line < change.line)
                    --row;
            m_lines->moveTo(row);
            m_lines->setValue(quantity, change.quantity);
        }
    for (const StyleGrid::Change& change : changes) {
        if (change.kind != StyleGrid::Change::Kind::Add)
            continue;
        // The blank line the style was typed in takes the first new goods.
        const int last = m_lines->recordCount() - 1;
        if (last >= 0 && isBlank(last))
            m_lines->moveTo(last);
        else
            m_lines->append();
        m_lines->setValue(goodsCode, change.code);
        fillPrice(change.code);
        m_lines->setValue(quantity, change.quantity);
    }
    if (m_lines->isEditing())
        m_lines->post();
    if (m_lines->recordCount() > 0)
        moveTo(m_lines->recordCount() - 1, columnOf(quantity));
}

// ---------------------------------------------------------------- picker and editors

void BillLineEntry::pickGoods(const QString& typed)
{
    if (!m_editing || !m_lines->isOpen())
        return;
    TFrmGoodsFind picker(m_window);
    if (!typed.isEmpty())
        picker.setStartText(typed);
    int row = m_lines->currentRow();
    if (ui::dialogs().exec(&picker) != QDialog::Accepted) {
        // Back to the code as typed, to correct it.
        if (row >= 0)
            m_grid->editCell(row, columnOf(goodsCode), typed);
        return;
    }
    if (row < 0) {
        m_lines->append();
        row = m_lines->currentRow();
    }
    const QString code = dataModule().GoodsFindQ->text(goodsCode);
    m_grid->dropEditor();
    if (m_lines->text(goodsCode) != code)
        m_lines->setValue(goodsCode, code);
    fillPrice(code);
    moveTo(row, columnOf(unitPrice));
}

void BillLineEntry::prepareEditor(QLineEdit* editor)
{
    if (editor->property("billKeys").toBool())
        return;
    editor->setProperty("billKeys", true);
    editor->installEventFilter(this);
    if (m_options.stockRemarks && m_grid->currentIndex().column() == columnOf(remark)) {
        // The first letters typed take the choice ("不" gives "不入库"); F4 or Alt+Down lists both.
        auto* choices = new QCompleter(QStringList{QStringLiteral("入库"), StockPosting::notIntoStock}, editor);
        choices->setCompletionMode(QCompleter::InlineCompletion);
        editor->setCompleter(choices);
    }
}

// The remark's two choices as a list, opening the cell's editor if need be.
void BillLineEntry::showStockChoices(QLineEdit* editor)
{
    const int row = m_grid->currentIndex().row();
    if (!editor)
        editor = m_grid->editCell(row, columnOf(remark), m_lines->value(row, m_lines->fieldIndex(remark)).toString());
    if (!editor)
        return;
    prepareEditor(editor);
    QCompleter* choices = editor->completer();
    choices->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    choices->setCompletionPrefix(QString());
    choices->complete();
}

bool BillLineEntry::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ChildPolished && watched == m_grid->viewport()) {
        if (auto* editor = qobject_cast<QLineEdit*>(static_cast<QChildEvent*>(event)->child()))
            prepareEditor(editor);
        return false;
    }
    if (event->type() == QEvent::FocusIn && watched == m_grid && m_lines->isOpen() && m_lines->recordCount() > 0) {
        // Coming into the lines from the header: the goods code of the current line.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason)
            m_grid->setCurrentIndex(m_grid->model()->index(qMax(0, m_lines->currentRow()), columnOf(goodsCode)));
        return false;
    }
    if (event->type() != QEvent::KeyPress || !m_editing || !m_lines->isOpen())
        return false;
    auto* editor = qobject_cast<QLineEdit*>(watched);
    if (!(watched == m_grid || (editor && editor->parentWidget() == m_grid->viewport())))
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    try {
        if (ui::isEnterKey(key))
            return enter(editor);
        if (key->key() == Qt::Key_F7 && key->modifiers() == Qt::NoModifier) {
            enterByStyle();
            return true;
        }
        if (ui::opensListKey(key) && m_grid->currentIndex().column() == columnOf(goodsCode)) {
            pickGoods(editor ? editor->text().trimmed() : QString());
            return true;
        }
        if (ui::opensListKey(key) && m_options.stockRemarks && m_grid->currentIndex().column() == columnOf(remark)) {
            showStockChoices(editor);
            return true;
        }
        if (!editor)
            return moveBelowLast(key->key());
    } catch (const std::exception& e) {
        emit failed(QStringLiteral("操作失败"), ui::errorText(e));
        return true;
    }
    return false;
}
