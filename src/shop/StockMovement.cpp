#include "shop/StockMovement.h"

#include "db/Connection.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "shop/BillStore.h"
#include "shop/StockPosting.h"
#include "shop/StockSheet.h"

#include <QDate>

namespace StockMovement {

Totals compute(db::Connection& connection, int year, int month)
{
    // January opens from December of the year before.
    const QDate last = QDate(year, month, 1).addMonths(-1);
    const int lastYear = last.year();
    const int lastMonth = last.month();

    db::Transaction transaction(connection, db::Transaction::Snapshot);
    connection.execute(QStringLiteral("delete from miostemp"));
    connection.execute(QStringLiteral("delete from mios"));
    // One working row per count row and per bill line that moved stock (union all:
    // equal lines both count; a customer return's "不入库" line never entered stock); the closing quantity is rounded once per goods, from the sums, and
    // stored as the whole number the column holds.
    db::Statement insert(
        connection,
        QStringLiteral(
            "insert into mios(gods_code,last_amou,in_amou,out_amou,now_amou) "
            "select gods_code,sum(last_amou),sum(in_amou),sum(out_amou),"
            // (a decimal rounds half away from zero on both engines; a double may not)
            "cast(round(cast(sum(last_amou)+sum(in_amou)-sum(out_amou) as numeric)) as integer) from ("
            " select gods_code,chek_amou as last_amou,0 as in_amou,0 as out_amou from storchek"
            "  where chek_date>=:lastfirst and chek_date<:lastnext"
            " union all"
            " select b.gods_code,0,b.sub_amou,0 from inmain a inner join ingoods b on a.bill_no=b.bill_no"
            "  where a.bill_date>=:first and a.bill_date<:next"
            "  and not (coalesce(a.bill_type,'')=:returntype and coalesce(b.remark,'')=:notintostock)"
            " union all"
            " select b.gods_code,0,0,b.sub_amou from outmain a inner join outgoods b on a.bill_no=b.bill_no"
            "  where a.bill_date>=:first and a.bill_date<:next"
            ") as moves group by gods_code order by gods_code"));
    insert.bind(QStringLiteral("lastfirst"), StockSheet::monthStart(lastYear, lastMonth));
    insert.bind(QStringLiteral("lastnext"), StockSheet::nextMonthStart(lastYear, lastMonth));
    insert.bind(QStringLiteral("first"), StockSheet::monthStart(year, month));
    insert.bind(QStringLiteral("next"), StockSheet::nextMonthStart(year, month));
    insert.bind(QStringLiteral("returntype"), BillStore::info(StockPosting::BillKind::CustomerReturn).billType);
    insert.bind(QStringLiteral("notintostock"), StockPosting::notIntoStock);
    insert.execute();
    const Totals result = totals(connection);
    transaction.commit();
    return result;
}

Totals totals(db::Connection& connection)
{
    db::Statement sums(connection, QStringLiteral("select coalesce(sum(in_amou),0),coalesce(sum(out_amou),0),"
                                                  "coalesce(sum(now_amou),0),count(*),"
                                                  "coalesce(sum(last_amou),0) from mios"));
    Totals result;
    if (sums.next()) {
        result.in = sums.doubleValue(0);
        result.out = sums.doubleValue(1);
        result.closing = sums.doubleValue(2);
        result.rows = int(sums.intValue(3));
        result.opening = sums.doubleValue(4);
    }
    return result;
}

} // namespace StockMovement
