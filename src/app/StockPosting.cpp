#include "app/StockPosting.h"

#include "db/Statement.h"

namespace StockPosting {

bool isMonthCounted(db::Connection& connection, int year, int month)
{
    db::Statement query(connection,
                        QStringLiteral("select 1 from storchek where year(chek_date)=:cyear and "
                                       "month(chek_date)=:cmonth limit 1"));
    query.bind(QStringLiteral("cyear"), year).bind(QStringLiteral("cmonth"), month);
    return query.next();
}

} // namespace StockPosting
