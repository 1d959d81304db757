#include "ui/StyleGridDialog.h"

#include "core/DataHelpers.h"
#include "shop/Amounts.h"
#include "ui/Dialogs.h"
#include "ui/EnterWalk.h"
#include "ui/FieldValue.h"
#include "ui/WindowParts.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace ui {

namespace {

const QString totalCaption = QStringLiteral("合计");

QString quantityText(double value)
{
    return value == 0 ? QString() : DataHelpers::amountText(value);
}

} // namespace

// Cells are edited as text that the dialog checks; keys and commits go to the dialog.
class StyleCellDelegate : public QStyledItemDelegate {
public:
    explicit StyleCellDelegate(StyleGridDialog* dialog) : QStyledItemDelegate(dialog), m_dialog(dialog) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        auto* editor = new QLineEdit(parent);
        editor->setFrame(false);
        editor->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        editor->setMaxLength(16);
        m_editor = editor;
        return editor;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        auto* line = static_cast<QLineEdit*>(editor);
        if (!line->isModified())
            line->setText(index.data(Qt::DisplayRole).toString());
    }
    // Leaving a cell by a click takes its text too; a refusal is told after the click.
    void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const override
    {
        auto* line = static_cast<QLineEdit*>(editor);
        if (!line->isModified())
            return;
        const QString text = line->text();
        if (m_dialog->take(index.row(), index.column(), text))
            return;
        const QString why = m_dialog->refusal(index.row(), index.column(), text);
        QPointer<StyleGridDialog> dialog(m_dialog);
        const QPersistentModelIndex at(index);
        QTimer::singleShot(0, m_dialog, [dialog, at, text, why] {
            if (dialog && at.isValid())
                dialog->refuse(at, text, why);
        });
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            const bool forward = isEnterKey(key) || key->key() == Qt::Key_Tab;
            if (forward || key->key() == Qt::Key_Backtab) {
                auto* editor = static_cast<QLineEdit*>(watched);
                if (!m_dialog->takeOpenEditor())
                    return true;
                editor->setModified(false);
                m_dialog->move(forward);
                return true;
            }
        }
        return QStyledItemDelegate::eventFilter(watched, event);
    }

    QLineEdit* openEditor() const { return m_editor; }

private:
    StyleGridDialog* m_dialog;
    mutable QPointer<QLineEdit> m_editor;
};

StyleGridDialog::StyleGridDialog(const StyleGrid& grid, bool editable, QWidget* parent)
    : QDialog(parent), m_grid(grid), m_editable(editable)
{
    setObjectName(QStringLiteral("StyleGridDialog"));
    setWindowTitle(editable ? QStringLiteral("尺码颜色录入") : QStringLiteral("款式库存"));
    auto* caption = new QLabel(QStringLiteral("款号：%1").arg(grid.style()), this);
    caption->setObjectName(QStringLiteral("styleLabel"));

    table = WindowParts::named<QTableWidget>("table", this);
    table->setRowCount(int(grid.colors().size()) + 1);
    table->setColumnCount(int(grid.sizes().size()) + 1);
    QStringList across = grid.sizes();
    across << totalCaption;
    QStringList down = grid.colors();
    down << totalCaption;
    table->setHorizontalHeaderLabels(across);
    table->setVerticalHeaderLabels(down);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->horizontalHeader()->setDefaultSectionSize(64);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(editable ? QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked
                                          | QAbstractItemView::EditKeyPressed
                                    : QAbstractItemView::NoEditTriggers);
    m_delegate = new StyleCellDelegate(this);
    table->setItemDelegate(m_delegate);
    table->installEventFilter(this);
    setWalksEnter(table);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    cmd_ok = WindowParts::addButton(buttons, "cmd_ok", QStringLiteral("确定[&O]"));
    cmd_canc = WindowParts::addButton(buttons, "cmd_canc", editable ? QStringLiteral("取消[&C]") : QStringLiteral("关闭[&C]"));
    cmd_ok->setVisible(editable);
    connect(cmd_ok, &QPushButton::clicked, this, &StyleGridDialog::cmd_okClick);
    connect(cmd_canc, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(caption);
    layout->addWidget(table, 1);
    layout->addLayout(buttons);
    fill();

    // Big enough for the whole grid up to about 12 sizes and 16 colours; beyond it scrolls.
    const int width = qMin(table->verticalHeader()->sizeHint().width() + 64 * table->columnCount() + 40, 960);
    const int height = qMin(table->horizontalHeader()->sizeHint().height() + 30 * table->rowCount() + 100, 640);
    resize(qMax(width, 360), qMax(height, 240));
    for (int color = 0; color < m_grid.colors().size(); ++color)
        for (int size = 0; size < m_grid.sizes().size(); ++size)
            if (!m_grid.code(color, size).isEmpty()) {
                table->setCurrentCell(color, size);
                return;
            }
}

StyleGrid StyleGridDialog::loadTyped(db::Connection& connection, const QString& typed, QWidget* parent)
{
    StyleGrid grid = StyleGrid::loadTyped(connection, typed);
    if (grid.isEmpty())
        inform(QStringLiteral("款号“%1”没有货品").arg(typed.trimmed()), parent);
    return grid;
}

void StyleGridDialog::fill()
{
    const QColor grey = palette().color(QPalette::Disabled, QPalette::Window);
    QFont bold = font();
    bold.setBold(true);
    const int colors = int(m_grid.colors().size());
    const int sizes = int(m_grid.sizes().size());
    for (int color = 0; color <= colors; ++color)
        for (int size = 0; size <= sizes; ++size) {
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (color == colors || size == sizes) {
                item->setFlags(Qt::ItemIsEnabled);
                item->setFont(bold);
            } else if (m_grid.code(color, size).isEmpty()) {
                item->setFlags(Qt::NoItemFlags);   // no goods of this colour and size
                item->setBackground(grey);
            } else {
                item->setFlags(m_editable ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable
                                          : Qt::ItemIsEnabled | Qt::ItemIsSelectable);
                item->setText(quantityText(m_grid.quantity(color, size)));
                item->setToolTip(m_grid.code(color, size));
            }
            table->setItem(color, size, item);
        }
    showTotals();
}

void StyleGridDialog::showTotals()
{
    const int colors = int(m_grid.colors().size());
    const int sizes = int(m_grid.sizes().size());
    for (int color = 0; color < colors; ++color)
        table->item(color, sizes)->setText(DataHelpers::amountText(m_grid.colorTotal(color)));
    for (int size = 0; size < sizes; ++size)
        table->item(colors, size)->setText(DataHelpers::amountText(m_grid.sizeTotal(size)));
    table->item(colors, sizes)->setText(DataHelpers::amountText(m_grid.total()));
}

QString StyleGridDialog::refusal(int color, int size, const QString& text, double* quantity) const
{
    const QString cell = QStringLiteral("%1 %2：").arg(m_grid.colors().at(color), m_grid.sizes().at(size));
    double value = 0;
    try {
        value = parseNumber(text, shop::amounts::decimals).toDouble();
    } catch (const InputError& e) {
        return cell + errorText(e);
    }
    if (value < 0)
        return cell + QStringLiteral("数量“%1”不能为负数").arg(text.trimmed());
    if (quantity)
        *quantity = value;
    return {};
}

bool StyleGridDialog::take(int color, int size, const QString& text)
{
    if (m_grid.code(color, size).isEmpty())
        return true;
    double quantity = 0;
    if (!refusal(color, size, text, &quantity).isEmpty())
        return false;
    m_grid.setQuantity(color, size, quantity);
    table->item(color, size)->setText(quantityText(quantity));
    showTotals();
    return true;
}

// The message box takes the focus, which closes the cell's editor: the refused
// text comes back into the cell, selected, to be typed over.
void StyleGridDialog::refuse(const QModelIndex& at, const QString& text, const QString& why)
{
    if (QLineEdit* editor = m_delegate->openEditor())
        editor->setModified(false);   // closing it must not take the text again
    inform(why, this);
    table->setCurrentIndex(at);
    table->setFocus();
    if (!table->indexWidget(at))
        table->edit(at);
    if (auto* editor = qobject_cast<QLineEdit*>(table->indexWidget(at))) {
        editor->setText(text);
        editor->setModified(true);
        editor->selectAll();
        editor->setFocus();
    }
}

bool StyleGridDialog::takeOpenEditor()
{
    QLineEdit* editor = m_delegate->openEditor();
    if (!editor || !editor->isModified())
        return true;
    const QModelIndex at = table->currentIndex();
    const QString text = editor->text();
    if (take(at.row(), at.column(), text))
        return true;
    refuse(at, text, refusal(at.row(), at.column(), text));
    return false;
}

// The next cell that takes a quantity, across then down; after the last, 确定.
void StyleGridDialog::move(bool forward)
{
    const int sizes = int(m_grid.sizes().size());
    const int cells = int(m_grid.colors().size()) * sizes;
    const QModelIndex at = table->currentIndex();
    int cell = at.isValid() ? at.row() * sizes + at.column() : -1;
    for (cell += forward ? 1 : -1; cell >= 0 && cell < cells; cell += forward ? 1 : -1)
        if (!m_grid.code(cell / sizes, cell % sizes).isEmpty()) {
            table->setCurrentCell(cell / sizes, cell % sizes);
            table->setFocus();
            return;
        }
    if (forward)
        (m_editable ? cmd_ok : cmd_canc)->setFocus();
}

bool StyleGridDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == table && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (isEnterKey(key) || key->key() == Qt::Key_Tab) {
            move(true);
            return true;
        }
        if (key->key() == Qt::Key_Backtab) {
            move(false);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void StyleGridDialog::cmd_okClick()
{
    if (!takeOpenEditor())
        return;
    accept();
}

} // namespace ui
