#include "bills/BillScan.h"

#include "bills/BillLineEntry.h"
#include "core/DataHelpers.h"
#include "db/Dataset.h"
#include "shop/Barcodes.h"
#include "ui/FieldValue.h"
#include "ui/ScanBar.h"

namespace {
const QString goodsCode = QStringLiteral("gods_code");
const QString quantity = QStringLiteral("sub_amou");
}

BillScan::BillScan(BillLineEntry* entry, db::Dataset* lines, QWidget* window)
    : QObject(window), m_entry(entry), m_lines(lines), m_bar(new ui::ScanBar(window))
{
    connect(m_bar, &ui::ScanBar::scanned, this, &BillScan::take);
}

bool BillScan::take(const QString& scanned)
{
    const QString code = Barcodes::cleaned(scanned);
    if (code.isEmpty())
        return false;
    if (!m_entry->isEditing() || !m_lines->isOpen()) {
        m_bar->tell(QStringLiteral("请先按“新增”或“修改”，再扫描“%1”").arg(code), true);
        return false;
    }
    try {
        const QString goods = Barcodes::goodsFor(m_lines->connection(), code);
        if (goods.isEmpty()) {
            m_bar->tell(QStringLiteral("条码“%1”未找到").arg(code), true);
            return false;
        }
        // A cell being typed is kept before the scan moves the lines.
        if (!m_entry->commit()) {
            m_bar->tell(QStringLiteral("当前单元格的内容有误，请先改正"), true);
            return false;
        }
        const double pieces = addPiece(goods);
        m_bar->tell(QStringLiteral("%1 × %2").arg(goods, DataHelpers::amountText(pieces)));
        return true;
    } catch (const std::exception& e) {
        m_bar->tell(QStringLiteral("扫描失败：") + ui::errorText(e), true);
        return false;
    }
}

// Returns the line's quantity after the piece, as stored.
double BillScan::addPiece(const QString& goods)
{
    const int row = m_lines->currentRow();
    if (m_lines->isEditing()) {
        if (m_lines->state() == db::Dataset::State::Insert && m_entry->isBlank(row))
            m_lines->cancel();
        else
            m_lines->post();
    }
    if (const int line = m_lines->find(goodsCode, goods); line >= 0) {
        m_lines->moveTo(line);
        m_lines->edit();
        m_lines->setValue(quantity, m_lines->number(quantity) + 1);
    } else {
        m_lines->append();
        m_lines->setValue(goodsCode, goods);
        m_entry->fillPrice(goods);
        m_lines->setValue(quantity, 1);
    }
    m_lines->post();
    return m_lines->number(quantity);
}
