#include "warehouse/CountScan.h"

#include "db/Dataset.h"
#include "shop/Barcodes.h"
#include "ui/DbGrid.h"
#include "ui/Dialogs.h"
#include "ui/FieldValue.h"
#include "ui/ScanBar.h"
#include "ui/WindowParts.h"

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

CountScan::CountScan(db::Dataset* sheet, ui::DbGrid* grid, QWidget* window)
    : QObject(window), m_sheet(sheet), m_grid(grid), m_bar(new ui::ScanBar(window))
{
    connect(m_bar, &ui::ScanBar::scanned, this, &CountScan::take);
}

void CountScan::setCounting(bool counting)
{
    if (counting && !m_counting)
        m_pieces.clear();
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
        if (const int row = m_sheet->find(goodsCode, goods); row >= 0) {
            m_sheet->moveTo(row);
            m_sheet->edit();
        } else {
            // Goods with no stock record yet: counted from a book quantity of 0.
            m_sheet->append();
            m_sheet->setValue(goodsCode, goods);
            m_sheet->setValue(QStringLiteral("gods_amou"), 0);
        }
        const int pieces = ++m_pieces[goods];
        m_sheet->setValue(counted, pieces);
        m_sheet->post();
        m_bar->tell(QStringLiteral("%1 实盘 %2").arg(goods).arg(pieces));
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
    if (m_pieces.isEmpty())
        return true;
    QList<int> unscanned;
    for (int row = 0; row < m_sheet->recordCount(); ++row)
        if (!m_pieces.contains(m_sheet->value(row, m_sheet->fieldIndex(goodsCode)).toString()))
            unscanned.append(row);
    if (unscanned.isEmpty())
        return true;

    QDialog dialog(m_bar->window());
    dialog.setObjectName(QStringLiteral("CountReview"));
    dialog.setWindowTitle(QStringLiteral("盘点复核"));
    auto* list = WindowParts::named<QTableWidget>("UnscannedList", &dialog);
    list->setColumnCount(3);
    list->setHorizontalHeaderLabels({QStringLiteral("货品编码"), QStringLiteral("货品名称"), QStringLiteral("库存数量")});
    list->setRowCount(int(unscanned.size()));
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->horizontalHeader()->setStretchLastSection(true);
    for (int i = 0; i < unscanned.size(); ++i)
        for (int c = 0; c < 3; ++c) {
            const char* field = c == 0 ? "gods_code" : c == 1 ? "gods_name" : "gods_amou";
            list->setItem(i, c, new QTableWidgetItem(m_sheet->displayText(unscanned.at(i),
                                                                          m_sheet->fieldIndex(QLatin1String(field)))));
        }
    auto* buttons = new QHBoxLayout;
    const auto button = [&](const char* name, const QString& text, int answer) {
        QPushButton* b = WindowParts::addButton(buttons, name, text);
        connect(b, &QPushButton::clicked, &dialog, [&dialog, answer] { dialog.done(answer); });
    };
    button("zeroUnscanned", QStringLiteral("未扫描的货品按0计"), ZeroUnscanned);
    button("keepUnscanned", QStringLiteral("保留账面数量"), KeepUnscanned);
    button("backToCount", QStringLiteral("返回盘点"), Back);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(QStringLiteral("以下%1种货品没有扫描，现在按账面数量计：").arg(unscanned.size()), &dialog));
    layout->addWidget(list, 1);
    layout->addLayout(buttons);
    dialog.resize(520, 400);

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
