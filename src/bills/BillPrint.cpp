#include "bills/BillPrint.h"

#include "db/Connection.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "reports/ReportLayout.h"

namespace BillPrint {

int fillerCount(int lines, int lineCount)
{
    if (lineCount <= 0)
        return 0;
    const int rest = lines % lineCount;
    return rest == 0 ? 0 : lineCount - rest;
}

int fillOutTemp(db::Connection& connection, const QString& billNo, int lineCount)
{
    db::Transaction transaction(connection);
    connection.execute(QStringLiteral("delete from outtemp"));
    db::Statement copy(connection, QStringLiteral("insert into outtemp (bill_no,gods_code,sub_amou,unit_pric,remark) "
                                                  "select bill_no,gods_code,sub_amou,unit_pric,remark from outgoods "
                                                  "where bill_no=:no order by in_id"));
    copy.bind(QStringLiteral("no"), billNo);
    const int lines = copy.execute();
    const int fillers = fillerCount(lines, lineCount);
    db::Statement filler(connection, QStringLiteral("insert into outtemp (bill_no) values (:no)"));
    for (int i = 0; i < fillers; ++i) {
        filler.reset();
        filler.bind(QStringLiteral("no"), billNo);
        filler.execute();
    }
    transaction.commit();
    return lines + fillers;
}

void setTexts(ReportLayout& layout, const Texts& texts)
{
    layout.setLabelText(QStringLiteral("QRLabel1"), texts.title);
    layout.setLabelAlignment(QStringLiteral("QRLabel1"), Qt::AlignHCenter);
    layout.setLabelText(QStringLiteral("QRLabel11"), texts.footer);
    layout.setLabelText(QStringLiteral("QRLabel29"), texts.words);
    layout.setLabelText(QStringLiteral("QRLabel30"), texts.quantity);
    layout.setLabelText(QStringLiteral("QRLabel31"), texts.amount);
}

} // namespace BillPrint
