#include "masterdata/RightsGrid.h"

#include "core/CurrentRights.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QTimer>

const QString RightsGrid::tick = QStringLiteral("√");

namespace {

// Row labels as the rights window writes them (not the menu captions).
const QStringList functionNames = {
    "员工资料", "货品资料", "客户资料", "基本设置", "库存初始化", "权限设置", "进货输入",
    "进货统计", "顾客退货", "销售输入", "退货厂商", "出货统计", "出货排行—按货品", "出货排行—按客户",
    "库存查询", "库存报警", "库存调整", "库存盘点", "进销存明细", "收款单", "付款单",
    "进货对帐单", "出货对帐单", "数据备份", "数据恢复", "操作日志", "超信用额度销售", "查看毛利", "零售收银", "改价",
    "会员资料", "促销折扣"};

const QStringList columnTitles = {"使用", "新增", "修改", "删除", "复核", "查询", "打印"};

} // namespace

RightsGrid::RightsGrid(QWidget* parent)
    : QTableWidget(Function::Count, columns, parent)
{
    setHorizontalHeaderLabels(columnTitles);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    verticalHeader()->setFixedWidth(labelWidth);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    verticalHeader()->setDefaultSectionSize(20);
    horizontalHeader()->setFixedHeight(22);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    for (int c = 0; c < columns; ++c)
        setColumnWidth(c, tickWidth);
    for (int r = 0; r < Function::Count; ++r)
        for (int c = 0; c < columns; ++c) {
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignCenter);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            setItem(r, c, item);
        }
    writeLabels();
    connect(this, &QTableWidget::cellClicked, this, [this](int row, int column) {
        if (m_ticking)
            toggle(column + 1, row + 1);
    });
}

QTableWidgetItem* RightsGrid::itemAt(int column, int row) const
{
    return item(row - 1, column - 1);
}

QString RightsGrid::cell(int column, int row) const
{
    const QTableWidgetItem* i = itemAt(column, row);
    return i ? i->text() : QString();
}

void RightsGrid::setCell(int column, int row, const QString& text)
{
    if (QTableWidgetItem* i = itemAt(column, row))
        i->setText(text);
}

void RightsGrid::toggle(int column, int row)
{
    setCell(column, row, cell(column, row).isEmpty() ? tick : QString());
}

void RightsGrid::setColumnTicked(int column, bool ticked)
{
    for (int row = 1; row <= Function::Count; ++row)
        setCell(column, row, ticked ? tick : QString());
}

void RightsGrid::clearTicks()
{
    for (int column = 1; column <= columns; ++column)
        setColumnTicked(column, false);
}

void RightsGrid::writeLabels()
{
    setVerticalHeaderLabels(functionNames);
}

QString RightsGrid::rightsString(int column) const
{
    QString rights;
    for (int row = 1; row <= Function::Count; ++row)
        rights += cell(column, row) == tick ? QLatin1Char('1') : QLatin1Char('0');
    return rights;
}

void RightsGrid::showRights(int column, const QString& rights)
{
    for (int row = 1; row <= Function::Count; ++row)
        setCell(column, row, row <= rights.size() && rights.at(row - 1) == QLatin1Char('1') ? tick : QString());
}

void RightsGrid::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (key == Qt::Key_Tab && m_toggledByEnter) {
        event->accept();
        return;
    }
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if ((enter || key == Qt::Key_Space) && event->modifiers() == Qt::NoModifier && m_ticking
        && currentIndex().isValid()) {
        toggle(currentColumn() + 1, currentRow() + 1);
        if (enter) {
            m_toggledByEnter = true;
            QTimer::singleShot(0, this, [this] { m_toggledByEnter = false; });
        }
        event->accept();
        return;
    }
    QTableWidget::keyPressEvent(event);
}
