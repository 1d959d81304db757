#include "shop/StockSheet.h"

#include "core/DataHelpers.h"
#include "shop/StockPosting.h"
#include "db/Connection.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "shop/OperationLog.h"

namespace StockSheet {

namespace {

int countRows(db::Connection& connection)
{
    db::Statement count(connection, QStringLiteral("select count(*) from chektemp"));
    return count.next() ? int(count.intValue(0)) : 0;
}

// Sets each stock record to its sheet quantity; runs inside the caller's transaction.
int writeQuantities(db::Connection& connection, const Progress& progress)
{
    const int total = countRows(connection);
    db::Statement rows(connection,
                       QStringLiteral("select gods_code,chek_amou from chektemp order by gods_code"));
    db::Statement update(connection,
                         QStringLiteral("update storemain set gods_amou=:amou where gods_code=:code"));
    int done = 0;
    while (rows.next()) {
        update.bind(QStringLiteral("amou"), rows.doubleValue(1));
        update.bind(QStringLiteral("code"), rows.textValue(0));
        update.execute();
        update.reset();
        if (progress && ++done % 5000 == 0)
            progress(done, total);
    }
    if (progress)
        progress(total, total);
    return total;
}

} // namespace

QString monthStart(int year, int month)
{
    return db::toStoredDateTime(QDate(year, month, 1));
}

QString nextMonthStart(int year, int month)
{
    return db::toStoredDateTime(QDate(year, month, 1).addMonths(1));
}

void clear(db::Connection& connection)
{
    connection.execute(QStringLiteral("delete from chektemp"));
}

int fillFromStock(db::Connection& connection, const QDate& countDate)
{
    db::Transaction transaction(connection, db::Transaction::Write);
    clear(connection);
    int rows = 0;
    if (countDate.isValid()) {
        db::Statement insert(connection,
                             QStringLiteral("insert into chektemp(gods_code,gods_amou,chek_amou,chek_date) "
                                            "select gods_code,gods_amou,gods_amou,:date from storemain "
                                            "order by gods_code"));
        insert.bind(QStringLiteral("date"), countDate);
        rows = insert.execute();
    } else {
        db::Statement insert(connection, QStringLiteral("insert into chektemp(gods_code,gods_amou) "
                                                        "select gods_code,gods_amou from storemain order by gods_code"));
        rows = insert.execute();
    }
    transaction.commit();
    return rows;
}

void startAdjusting(db::Connection& connection)
{
    connection.execute(QStringLiteral("update chektemp set chek_amou=gods_amou"));
}

QString firstEmptyQuantity(db::Connection& connection)
{
    db::Statement empty(connection, QStringLiteral("select gods_code from chektemp where chek_amou is null "
                                                   "order by gods_code limit 1"));
    if (!empty.next())
        return {};
    const QString code = empty.textValue(0);
    return code.isNull() ? QStringLiteral("") : code;
}

namespace {

// The sheet's changed quantities, one line per goods: book → new.
void logSheet(db::Connection& connection, const QString& window, const QString& key)
{
    db::Statement changed(connection, QStringLiteral("select gods_code,gods_amou,chek_amou from chektemp "
                                                     "where coalesce(gods_amou,0)<>coalesce(chek_amou,0) order by gods_code"));
    QStringList detail;
    while (changed.next())
        detail << QStringLiteral("%1 %2 → %3").arg(changed.textValue(0), DataHelpers::amountText(changed.doubleValue(1)),
                                                   DataHelpers::amountText(changed.doubleValue(2)));
    OperationLog::write(connection, {window, OperationLog::saved, key,
                                     QStringLiteral("%1 种货品数量改变").arg(detail.size()), detail.join(QLatin1Char('\n'))});
}

} // namespace

SaveResult saveAdjustment(db::Connection& connection, const Progress& progress)
{
    db::Transaction transaction(connection, db::Transaction::Write);
    SaveResult result;
    result.goods = firstEmptyQuantity(connection);
    if (!result.goods.isNull()) {
        result.outcome = Outcome::EmptyQuantity;
        return result;
    }
    logSheet(connection, QStringLiteral("库存调整"), QString());
    result.rows = writeQuantities(connection, progress);
    transaction.commit();
    return result;
}

bool startCount(db::Connection& connection, const QDate& date)
{
    if (StockPosting::isMonthCounted(connection, date))
        return false;
    fillFromStock(connection, date);
    return true;
}

SaveResult saveCount(db::Connection& connection, const QDate& date, const Progress& progress)
{
    // The write lock is taken before the month test, so no other save can slip in between.
    db::Transaction transaction(connection, db::Transaction::Write);
    SaveResult result;
    if (StockPosting::isMonthCounted(connection, date)) {
        result.outcome = Outcome::MonthCounted;
        return result;
    }
    result.goods = firstEmptyQuantity(connection);
    if (!result.goods.isNull()) {
        result.outcome = Outcome::EmptyQuantity;
        return result;
    }
    db::Statement history(connection,
                          QStringLiteral("insert into storchek(gods_code,gods_amou,chek_amou,chek_date) "
                                         "select gods_code,gods_amou,chek_amou,:date from chektemp "
                                         "order by gods_code"));
    history.bind(QStringLiteral("date"), date);
    history.execute();
    logSheet(connection, QStringLiteral("库存盘点"), date.toString(QStringLiteral("yyyy-MM")));
    result.rows = writeQuantities(connection, progress);
    transaction.commit();
    return result;
}

int loadCount(db::Connection& connection, const QDate& date)
{
    db::Transaction transaction(connection, db::Transaction::Write);
    clear(connection);
    db::Statement copy(connection,
                       QStringLiteral("insert into chektemp(gods_code,gods_amou,chek_amou,chek_date) "
                                      "select gods_code,gods_amou,chek_amou,chek_date from storchek "
                                      "where chek_date>=:first and chek_date<:next order by gods_code"));
    copy.bind(QStringLiteral("first"), monthStart(date.year(), date.month()));
    copy.bind(QStringLiteral("next"), nextMonthStart(date.year(), date.month()));
    copy.execute();
    const int rows = countRows(connection);
    transaction.commit();
    return rows;
}

} // namespace StockSheet
