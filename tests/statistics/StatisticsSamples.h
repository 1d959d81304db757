#pragma once

// Bills written straight into the tables, with fixed dates, for the listing
// and ranking tests.
#include "TestSupport.h"

#include <QList>
#include <QString>

namespace StatisticsSamples {

struct Line {
    QString goods;
    double quantity;
    double price;
};

// A bill header and its lines; `date` is the stored text ("2026-03-01 00:00:00").
inline void addBill(TestApp& app, const QString& side, const QString& billNo, const QString& date,
                    const QString& company, const QString& type, const QList<Line>& lines)
{
    const QString header = side == QLatin1String("in") ? QStringLiteral("inmain") : QStringLiteral("outmain");
    const QString detail = side == QLatin1String("in") ? QStringLiteral("ingoods") : QStringLiteral("outgoods");
    app.exec(QStringLiteral("insert into %1(bill_no, bill_date, comp_code, bill_type) values(:p1, :p2, :p3, :p4)")
                 .arg(header),
             {billNo, date, company, type});
    for (const Line& line : lines)
        app.exec(QStringLiteral("insert into %1(bill_no, gods_code, sub_amou, unit_pric) values(:p1, :p2, :p3, :p4)")
                     .arg(detail),
                 {billNo, line.goods, line.quantity, line.price});
}

inline void addGoods(TestApp& app, const QString& code, const QString& name)
{
    app.exec(QStringLiteral("insert into goods(gods_code, gods_name, gods_kind, gods_unit) values(:p1, :p2, '衬衫', '件')"),
             {code, name});
}

inline void addCompany(TestApp& app, const QString& code, const QString& name, const QString& head = {})
{
    app.exec(QStringLiteral("insert into company(comp_code, comp_name, head_name) values(:p1, :p2, :p3)"),
             {code, name, head});
}

} // namespace StatisticsSamples
