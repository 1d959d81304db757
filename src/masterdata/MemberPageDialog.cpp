#include "masterdata/MemberPageDialog.h"

#include "core/Clock.h"
#include "core/DataHelpers.h"
#include "ui/WindowParts.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

using WindowParts::named;

namespace {

QTableWidget* table(const char* name, const QStringList& captions)
{
    auto* grid = named<QTableWidget>(name);
    grid->setColumnCount(int(captions.size()));
    grid->setHorizontalHeaderLabels(captions);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->verticalHeader()->hide();
    grid->setTabKeyNavigation(false);
    return grid;
}

QTableWidgetItem* cell(const QString& text, bool number = false)
{
    auto* item = new QTableWidgetItem(text);
    if (number)
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

QString dayText(const QDate& date)
{
    return date.isValid() ? date.toString(QStringLiteral("yyyy-MM-dd")) : QStringLiteral("无");
}

} // namespace

MemberPageDialog::MemberPageDialog(db::Connection& connection, const QString& cardNo, QWidget* parent)
    : QDialog(parent), m_page(MemberAnalysis::memberPage(connection, cardNo, Clock::today()))
{
    setObjectName(QStringLiteral("MemberPageDialog"));
    setWindowTitle(QStringLiteral("会员档案 %1 %2").arg(m_page.cardNo, m_page.name));
    resize(820, 600);

    SummaryLabel = named<QLabel>("SummaryLabel");
    SummaryLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    SummaryLabel->setText(QStringLiteral("卡号：%1    姓名：%2    手机：%3    等级：%4    积分：%5\n"
                                         "今年消费：%6 元    最近到店：%7")
                              .arg(m_page.cardNo, m_page.name, m_page.phone, m_page.level)
                              .arg(m_page.points)
                              .arg(DataHelpers::amountText(m_page.spentThisYear), dayText(m_page.lastVisit)));
    PurchaseGrid = table("PurchaseGrid", {QStringLiteral("日期"), QStringLiteral("单号"), QStringLiteral("类型"),
                                          QStringLiteral("货品编码"), QStringLiteral("名称"), QStringLiteral("颜色"),
                                          QStringLiteral("尺码"), QStringLiteral("数量"), QStringLiteral("单价"),
                                          QStringLiteral("金额")});
    PointGrid = table("PointGrid", {QStringLiteral("日期"), QStringLiteral("单号"), QStringLiteral("类型"),
                                    QStringLiteral("积分"), QStringLiteral("余额")});
    auto* close = named<QPushButton>("cmd_exit");
    close->setText(QStringLiteral("关闭[&X]"));
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* rows = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(SummaryLabel, 1);
    top->addWidget(close);
    rows->addLayout(top);
    rows->addWidget(WindowParts::caption(QStringLiteral("购买记录"), PurchaseGrid, this));
    rows->addWidget(PurchaseGrid, 3);
    rows->addWidget(WindowParts::caption(QStringLiteral("积分记录"), PointGrid, this));
    rows->addWidget(PointGrid, 2);
    fillPurchases();
    fillPoints();
}

void MemberPageDialog::fillPurchases()
{
    PurchaseGrid->setRowCount(int(m_page.purchases.size()));
    for (int r = 0; r < m_page.purchases.size(); ++r) {
        const MemberAnalysis::Purchase& p = m_page.purchases[r];
        const double sign = p.isReturn ? -1 : 1;
        const QList<QTableWidgetItem*> items{
            cell(dayText(p.date)), cell(p.billNo), cell(p.isReturn ? QStringLiteral("退货") : QStringLiteral("销售")),
            cell(p.goodsCode), cell(p.goodsName), cell(p.color), cell(p.size),
            cell(DataHelpers::amountText(sign * p.quantity), true), cell(DataHelpers::amountText(p.unitPrice), true),
            cell(DataHelpers::amountText(sign * p.amount()), true)};
        for (int c = 0; c < items.size(); ++c)
            PurchaseGrid->setItem(r, c, items[c]);
    }
    PurchaseGrid->resizeColumnsToContents();
}

void MemberPageDialog::fillPoints()
{
    PointGrid->setRowCount(int(m_page.pointChanges.size()));
    for (int r = 0; r < m_page.pointChanges.size(); ++r) {
        const MemberAnalysis::PointChange& p = m_page.pointChanges[r];
        const QList<QTableWidgetItem*> items{cell(dayText(p.date)), cell(p.billNo), cell(p.kind),
                                             cell(QString::number(p.points), true),
                                             cell(QString::number(p.balance), true)};
        for (int c = 0; c < items.size(); ++c)
            PointGrid->setItem(r, c, items[c]);
    }
    PointGrid->resizeColumnsToContents();
}
