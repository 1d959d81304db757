#include "warehouse/CountScan.h"

#include "core/DataHelpers.h"
#include "db/Dataset.h"
#include "shop/Barcodes.h"
#include "ui/DbGrid.h"
#include "ui/Dialogs.h"
#include "ui/FieldValue.h"
#include "ui/ScanBar.h"
#include "ui/WindowParts.h"
#include "warehouse/EnteredGoods.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
const QString goodsCode = QStringLiteral("gods_code");
const QString counted = QStringLiteral("chek_amou");
}

CountScan::CountScan(db::Dataset* sheet, EnteredGoods* entered, ui::DbGrid* grid, QWidget* window)
    : QObject(window), m_sheet(sheet), m_entered(entered), m_grid(grid), m_bar(new ui::ScanBar(window))
{
    connect(m_bar, &ui::ScanBar::scanned, this, &CountScan::take);
    // Escape from the box goes to the sheet's current line, as on a bill.
    m_bar->setEscapeTarget(grid);
}

void CountScan::setCounting(bool counting)
{
    if (counting && !m_counting)
        m_scanned = false;
    m_counting = counting;
    if (!counting)
        m_bar->tell({});
}

bool CountScan::take(const QString& scanned)
{
    const QString code = Barcodes::cleaned(scanned);
    if (code.isEmpty())
        return false;
    if (!m_counting || !m_sheet->isOpen()) {
        m_bar->tell(QStringLiteral("请先按“盘点”，再扫描“%1”").arg(code), true);
        return false;
    }
    try {
        const QString goods = Barcodes::goodsFor(m_sheet->connection(), code);
        if (goods.isEmpty()) {
            m_bar->tell(QStringLiteral("条码“%1”未找到").arg(code), true);
            return false;
        }
        if (!m_grid->commitEditor())
            return false;
        if (m_sheet->isEditing())
            m_sheet->post();
        // The sheet finds the code without case: a stock record may spell it otherwise.
        double pieces = 1;
        if (const int row = m_sheet->find(goodsCode, goods); row >= 0) {
            m_sheet->moveTo(row);
            if (m_entered->contains(m_sheet->text(goodsCode)))
                pieces = m_sheet->number(counted) + 1;
            m_sheet->edit();
        } else {
            // Goods with no stock record yet: counted from a book quantity of 0.
            m_sheet->append();
            m_sheet->setValue(goodsCode, goods);
            m_sheet->setValue(QStringLiteral("gods_amou"), 0);
        }
        m_sheet->setValue(counted, pieces);
        m_sheet->post();
        m_entered->add(goods);
        m_scanned = true;
        m_bar->tell(QStringLiteral("%1 实盘 %2").arg(goods, DataHelpers::amountText(pieces)));
        return true;
    } catch (const std::exception& e) {
        if (m_sheet->isEditing())
            m_sheet->cancel();
        m_bar->tell(QStringLiteral("扫描失败：") + ui::errorText(e), true);
        return false;
    }
}

bool CountScan::review()
{
    if (!m_scanned)
        return true;
    const int codeField = m_sheet->fieldIndex(goodsCode);
    const int bookField = m_sheet->fieldIndex(QStringLiteral("gods_amou"));
    QList<int> unscanned;
    double book = 0;
    for (int row = 0; row < m_sheet->recordCount(); ++row)
        if (!m_entered->contains(m_sheet->value(row, codeField).toString())) {
            unscanned.append(row);
            book += m_sheet->value(row, bookField).toDouble();
        }
    if (unscanned.isEmpty())
        return true;

    QDialog dialog(m_bar->window());
    dialog.setObjectName(QStringLiteral("CountReview"));
    dialog.setWindowTitle(QStringLiteral("盘点复核"));
    auto* text = WindowParts::named<QLabel>("ReviewText", &dialog);
    text->setText(QStringLiteral("以下%1种货品在本次盘点中既没有扫描也没有输入数量：\n"
                                 "按账面数量计：实盘数量记为库存数量，这些货品的库存不变；\n"
                                 "按0计：实盘数量记为0，每种货品的库存减去它的库存数量（共减少 %2）。")
                      .arg(unscanned.size())
                      .arg(DataHelpers::amountText(book)));
    auto* list = WindowParts::named<QTableWidget>("UnscannedList", &dialog);
    const QStringList titles = {QStringLiteral("货品编码"), QStringLiteral("货品名称"), QStringLiteral("库存数量"),
                                QStringLiteral("按0计的盈亏")};
    list->setColumnCount(int(titles.size()));
    list->setHorizontalHeaderLabels(titles);
    list->setRowCount(int(unscanned.size()));
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->horizontalHeader()->setStretchLastSection(true);
    for (int i = 0; i < unscanned.size(); ++i) {
        const int row = unscanned.at(i);
        int column = 0;
        for (const char* field : {"gods_code", "gods_name", "gods_amou"})
            list->setItem(i, column++, new QTableWidgetItem(m_sheet->displayText(row, m_sheet->fieldIndex(QLatin1String(field)))));
        list->setItem(i, column, new QTableWidgetItem(DataHelpers::amountText(-m_sheet->value(row, bookField).toDouble())));
    }
    auto* buttons = new QHBoxLayout;
    const auto button = [&](const char* name, const QString& caption, int answer) {
        QPushButton* b = WindowParts::addButton(buttons, name, caption);
        connect(b, &QPushButton::clicked, &dialog, [&dialog, answer] { dialog.done(answer); });
        return b;
    };
    button("keepUnscanned", QStringLiteral("按账面数量计"), KeepUnscanned);
    button("zeroUnscanned", QStringLiteral("按0计"), ZeroUnscanned);
    // Enter goes back: neither answer may be given by a slip of the key.
    button("backToCount", QStringLiteral("返回盘点"), Back)->setDefault(true);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(text);
    layout->addWidget(list, 1);
    layout->addLayout(buttons);
    dialog.resize(560, 420);

    const int answer = ui::dialogs().exec(&dialog);
    if (answer == Back)
        return false;
    if (answer == ZeroUnscanned) {
        for (const int row : std::as_const(unscanned)) {
            m_sheet->moveTo(row);
            m_sheet->edit();
            m_sheet->setValue(counted, 0);
            m_sheet->post();
        }
    }
    return true;
}
