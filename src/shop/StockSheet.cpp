#include "shop/StockSheet.h"

#include "core/DataHelpers.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "shop/OperationLog.h"
#include "shop/StockPosting.h"

#include <QRegularExpression>
#include <cmath>

namespace StockSheet {

namespace {

const QString codeField = QStringLiteral("gods_code");
const QString bookField = QStringLiteral("gods_amou");
const QString enteredField = QStringLiteral("chek_amou");
const QString adjustmentWindow = QStringLiteral("库存调整");

// A goods whose stock the save moves: from what the user was shown to what was entered.
struct Change {
    QString code;   // as the books hold it
    double difference = 0;
};

void openOver(db::Dataset& sheet, const QString& sql)
{
    sheet.close();
    sheet.setSql(sql);
    // Held in memory: typed quantities are never written back through the dataset.
    sheet.setLocking(db::Dataset::Locking::Batch);
}

double differenceOf(const Line& line)
{
    const double difference = line.entered.toDouble() - line.shown;
    // Quantities have two decimals: what is left below is the binary form's noise.
    return std::abs(difference) < 1e-9 ? 0 : difference;
}

// Every line checked before anything is written; the lines that move stock.
SaveResult check(db::Connection& connection, StockRules::Sheet sheet, const QList<Line>& lines,
                 QList<Change>* changes)
{
    SaveResult result;
    for (const Line& line : lines) {
        const QString refusal = lineRefusal(sheet, line);
        if (!refusal.isEmpty())
            return {Outcome::Refused, line.code, refusal, 0};
        const double difference = differenceOf(line);
        if (difference == 0)
            continue;
        const QString code = StockRules::storedCode(connection, line.code);
        if (code.isNull())
            return {Outcome::Refused, line.code, StockRules::unknownGoods(line.code), 0};
        changes->append({code, difference});
    }
    return result;
}

QString signedText(double value)
{
    return (value > 0 ? QStringLiteral("+") : QString()) + DataHelpers::amountText(value);
}

// A goods' line in the log: "code book → new（difference）". Adjustments are read back from it.
QString changeLine(const QString& code, double before, double difference)
{
    return QStringLiteral("%1 %2 → %3（%4）")
        .arg(code, DataHelpers::amountText(before), DataHelpers::amountText(before + difference),
             signedText(difference));
}

// Moves the stock by each change, with a line per goods for the log: book → new (difference).
QStringList apply(db::Connection& connection, const QList<Change>& changes, const Progress& progress)
{
    db::Statement book(connection, QStringLiteral("select gods_amou from storemain where gods_code=:code limit 1"));
    QStringList detail;
    QList<StockPosting::BillLine> moves;
    for (const Change& change : changes) {
        book.reset();
        book.bind(QStringLiteral("code"), change.code);
        const double before = book.next() ? book.doubleValue(0) : 0;
        detail << changeLine(change.code, before, change.difference);
        moves.append({change.code, change.difference, 0, {}, 0, {}});
    }
    const int total = int(changes.size());
    constexpr int step = 5000;
    for (int done = 0; done < total; done += step) {
        StockPosting::moveStock(connection, moves.mid(done, step));
        if (progress)
            progress(qMin(done + step, total), total);
    }
    return detail;
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

void openBook(db::Dataset& sheet, bool entered)
{
    openOver(sheet, QStringLiteral("select gods_code,gods_amou,%1 as chek_amou,null as chek_date from storemain "
                                   "order by gods_code")
                        .arg(entered ? QStringLiteral("gods_amou") : QStringLiteral("null")));
    sheet.open();
}

void openEmpty(db::Dataset& sheet)
{
    openOver(sheet, QStringLiteral("select gods_code,gods_amou,chek_amou,chek_date from storchek where 1=0"));
    sheet.open();
}

int openStoredCount(db::Dataset& sheet, const QDate& date)
{
    openOver(sheet, QStringLiteral("select gods_code,gods_amou,chek_amou,chek_date from storchek "
                                   "where chek_date>=:first and chek_date<:next order by gods_code"));
    sheet.setParameter(QStringLiteral("first"), monthStart(date.year(), date.month()));
    sheet.setParameter(QStringLiteral("next"), nextMonthStart(date.year(), date.month()));
    sheet.open();
    return sheet.recordCount();
}

QList<Line> lines(const db::Dataset& sheet)
{
    const int code = sheet.fieldIndex(codeField);
    const int book = sheet.fieldIndex(bookField);
    const int entered = sheet.fieldIndex(enteredField);
    QList<Line> result;
    result.reserve(sheet.recordCount());
    for (int row = 0; row < sheet.recordCount(); ++row)
        result.append({sheet.value(row, code).toString(), sheet.value(row, book).toDouble(), sheet.value(row, entered)});
    return result;
}

QString lineRefusal(StockRules::Sheet sheet, const Line& line)
{
    if (!line.entered.isNull() && differenceOf(line) == 0)
        return {};
    return StockRules::quantityRefusal(sheet, line.code, line.entered);
}

bool startCount(db::Dataset& sheet, const QDate& date)
{
    if (StockPosting::isMonthCounted(sheet.connection(), date))
        return false;
    openBook(sheet, true);
    return true;
}

SaveResult saveAdjustment(db::Connection& connection, const QList<Line>& lines, const QString& saveId,
                          const Progress& progress)
{
    db::Transaction transaction(connection, db::Transaction::Write);
    QList<Change> changes;
    SaveResult result = check(connection, StockRules::Sheet::Adjustment, lines, &changes);
    if (result.outcome != Outcome::Saved)
        return result;
    if (changes.isEmpty())
        return {Outcome::NothingToSave, {}, {}, 0};
    const QStringList detail = apply(connection, changes, progress);
    OperationLog::write(connection, {adjustmentWindow, OperationLog::saved, QString(),
                                     QStringLiteral("%1 种货品数量改变").arg(changes.size()),
                                     detail.join(QLatin1Char('\n'))},
                      saveId);
    transaction.commit();
    result.rows = int(changes.size());
    return result;
}

SaveResult saveCount(db::Connection& connection, const QDate& date, const QList<Line>& lines,
                     const QString& saveId, const Progress& progress)
{
    // The write lock is taken before the month test, so no other save can slip in between.
    db::Transaction transaction(connection, db::Transaction::Write);
    if (StockPosting::isMonthCounted(connection, date))
        return {!saveId.isEmpty() && isStored(connection, saveId) ? Outcome::AlreadySaved : Outcome::MonthCounted,
                {}, {}, 0};
    if (lines.isEmpty())
        return {Outcome::NothingToSave, {}, {}, 0};
    QList<Change> changes;
    SaveResult result = check(connection, StockRules::Sheet::Count, lines, &changes);
    if (result.outcome != Outcome::Saved)
        return result;

    // The book at the save, then what the count makes of it.
    db::Statement book(connection, QStringLiteral("insert into storchek(gods_code,gods_amou,chek_amou,chek_date) "
                                                  "select gods_code,coalesce(gods_amou,0),coalesce(gods_amou,0),:date "
                                                  "from storemain order by gods_code"));
    book.bind(QStringLiteral("date"), date);
    book.execute();
    db::Statement counted(connection, QStringLiteral("update storchek set chek_amou=chek_amou+:difference "
                                                     "where gods_code=:code and chek_date=:date"));
    db::Statement found(connection, QStringLiteral("insert into storchek(gods_code,gods_amou,chek_amou,chek_date) "
                                                   "values(:code,0,:difference,:date)"));
    for (const Change& change : std::as_const(changes)) {
        counted.reset();
        counted.bind(QStringLiteral("difference"), change.difference)
            .bind(QStringLiteral("code"), change.code)
            .bind(QStringLiteral("date"), date);
        if (counted.execute() > 0)
            continue;
        // Goods found on the shelf without a stock record.
        found.reset();
        found.bind(QStringLiteral("code"), change.code)
            .bind(QStringLiteral("difference"), change.difference)
            .bind(QStringLiteral("date"), date);
        found.execute();
    }
    const QStringList detail = apply(connection, changes, progress);
    OperationLog::write(connection, {QStringLiteral("库存盘点"), OperationLog::saved,
                                     date.toString(QStringLiteral("yyyy-MM")),
                                     QStringLiteral("盘点 %1 种货品，%2 种数量改变").arg(lines.size()).arg(changes.size()),
                                     detail.join(QLatin1Char('\n'))},
                      saveId);
    transaction.commit();
    result.rows = int(changes.size());
    return result;
}

bool isStored(db::Connection& connection, const QString& saveId)
{
    db::Statement query(connection, QStringLiteral("select 1 from oper_log where save_id=:id"));
    query.bind(QStringLiteral("id"), saveId);
    return query.next();
}

QList<Adjustment> adjustmentsSince(db::Connection& connection, const QDate& from)
{
    db::Statement read(connection, QStringLiteral("select log_time,detail from oper_log where win_name=:window "
                                                  "and act_name=:action and log_time>=:from order by log_id"));
    read.bind(QStringLiteral("window"), adjustmentWindow)
        .bind(QStringLiteral("action"), OperationLog::saved)
        .bind(QStringLiteral("from"), from);
    // The code may hold spaces, the figures hold none.
    static const QRegularExpression changed(QStringLiteral("^(.+) \\S+ → \\S+（(\\S+)）$"));
    QList<Adjustment> result;
    while (read.next()) {
        const QDateTime time = QDateTime::fromString(read.textValue(0), QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        const QStringList lines = read.textValue(1).split(QLatin1Char('\n'));
        for (const QString& line : lines)
            if (const QRegularExpressionMatch match = changed.match(line); match.hasMatch())
                result.append({time, match.captured(1), match.captured(2).toDouble()});
    }
    return result;
}

} // namespace StockSheet
