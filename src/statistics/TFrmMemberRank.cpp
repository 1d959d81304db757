#include "statistics/TFrmMemberRank.h"

#include "core/Clock.h"

#include <QDateEdit>
#include <QTableView>

using namespace MemberAnalysis;

TFrmMemberRank::TFrmMemberRank(QWidget* parent)
    : AnalysisWindow(QStringLiteral("会员消费排行"), QStringLiteral("FrmMemberRank"), parent)
{
    fromDateEdit = datePicker("DP1", QDate(Clock::today().year(), 1, 1));
    toDateEdit = datePicker("DP2", Clock::today());
    layOut({}, {{QStringLiteral("起始日期"), fromDateEdit}, {QStringLiteral("截止日期"), toDateEdit}});
}

AnalysisWindow::Reading TFrmMemberRank::reading()
{
    const DateRange dates{fromDateEdit->date(), toDateEdit->date()};
    return [this, dates](db::Connection& connection) { m_rows = ranking(connection, dates); };
}

void TFrmMemberRank::showResult()
{
    startTable({QStringLiteral("名次"), QStringLiteral("会员卡号"), QStringLiteral("姓名"), QStringLiteral("手机"),
                QStringLiteral("等级"), QStringLiteral("消费金额"), QStringLiteral("单数"), QStringLiteral("件数"),
                QStringLiteral("最近到店"), QStringLiteral("常买尺码")});
    int place = 0;
    for (const RankRow& row : std::as_const(m_rows))
        addRow({double(++place), row.cardNo, row.name, row.phone, row.level, row.amount, double(row.bills), row.pieces,
                row.lastVisit, row.favouriteSizes.join(QStringLiteral("、"))});
    ResultGrid->resizeColumnsToContents();
    if (!m_rows.isEmpty())
        ResultGrid->selectRow(0);
}

QString TFrmMemberRank::choiceText() const
{
    return QStringLiteral("%1 至 %2").arg(fromDateEdit->date().toString(QStringLiteral("yyyy-MM-dd")),
                                         toDateEdit->date().toString(QStringLiteral("yyyy-MM-dd")));
}
