#pragma once

// Bills, companies and their amounts as the accounts tests set them up.
#include "TestSupport.h"

#include <QDate>
#include <QVariant>

namespace AccountsData {

// A bill header dated at `day` (March 2026 unless told otherwise); paid may be an empty QVariant.
inline void addBill(TestApp& app, const QString& table, const QString& billNo, int day, const QString& company,
                    double due, const QVariant& paid, const QString& type = QStringLiteral("out"), int month = 3)
{
    app.exec(QStringLiteral("insert into %1 (bill_no, bill_date, comp_code, shou_tota, fact_tota, bill_type, oper_name) "
                            "values (:p1, :p2, :p3, :p4, :p5, :p6, :p7)")
                 .arg(table),
             {billNo, QDate(2026, month, day), company, due, paid, type, QStringLiteral("张三")});
}

inline void addCompany(TestApp& app, const QString& code, const QString& name, const QVariant& credit = {})
{
    app.exec(QStringLiteral("insert into company (comp_code, comp_name, rest_tota) values (:p1, :p2, :p3)"),
             {code, name, credit});
}

inline QVariant paidOf(TestApp& app, const QString& table, const QString& billNo)
{
    return app.scalar(QStringLiteral("select fact_tota from %1 where bill_no=:p1").arg(table), {billNo});
}

inline QVariant creditOf(TestApp& app, const QString& company)
{
    return app.scalar(QStringLiteral("select rest_tota from company where comp_code=:p1"), {company});
}

inline int count(TestApp& app, const QString& table)
{
    return app.scalar(QStringLiteral("select count(*) from %1").arg(table)).toInt();
}

} // namespace AccountsData
