#include "masterdata/EmployeeRecords.h"

#include "core/TFrmDataMod.h"
#include "db/Statement.h"

namespace EmployeeRecords {

namespace {

int count(const QString& sql, const QString& code)
{
    db::Statement statement(dataModule().AdoConn, sql);
    statement.bind(QStringLiteral("code"), code.trimmed());
    return statement.next() ? int(statement.intValue(0)) : 0;
}

} // namespace

bool isEmployee(const QString& code)
{
    return count(QStringLiteral("select count(*) from employee where lower(trim(empl_code))=lower(:code)"), code) > 0;
}

int usersNamed(const QString& code)
{
    return count(QStringLiteral("select count(*) from powers where lower(trim(user_id))=lower(:code)"), code);
}

int billsNaming(const QString& code)
{
    int bills = 0;
    for (const char* table : {"inmain", "outmain"}) {
        QStringList people;
        for (const char* column : {"hand_code", "chek_code", "oper_code", "send_code", "rece_code", "rela_code"})
            people << QStringLiteral("lower(trim(%1))=lower(:code)").arg(QLatin1String(column));
        bills += count(QStringLiteral("select count(*) from %1 where %2")
                           .arg(QLatin1String(table), people.join(QStringLiteral(" or "))),
                       code);
    }
    return bills;
}

} // namespace EmployeeRecords
