#include "shop/DatabaseUpgrade.h"

#include "core/AppPaths.h"
#include "core/Clock.h"
#include "core/CurrentRights.h"
#include "core/DataHelpers.h"
#include "core/DatabaseFile.h"
#include "core/PasswordHash.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/Schema.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "shop/DatabaseBackup.h"
#include "shop/OperationLog.h"

#include <QDateTime>
#include <QDir>
#include <QHash>

namespace DatabaseUpgrade {

namespace {

// Version 2 brought the change log: whoever may set rights may also read the log.
void grantLogViewer(db::Connection& connection)
{
    const QString padding(Function::OperationLog - 1, QLatin1Char('0'));
    for (const char* column : {"pow_use", "pow_find", "pow_prin"})
        connection.execute(QStringLiteral("update powers set %1=substr(coalesce(%1,'')||'%2',1,%3)||'1' "
                                          "where substr(pow_use,%4,1)='1'")
                               .arg(QString::fromLatin1(column), padding)
                               .arg(Function::OperationLog - 1)
                               .arg(Function::Powers));
}

// Version 3 keeps user passwords only as hashes.
void hashPasswords(db::Connection& connection)
{
    QList<QPair<qint64, QString>> plain;
    {
        db::Statement users(connection, QStringLiteral("select %1, password from powers where coalesce(pass_hash,'')=''")
                                            .arg(db::Schema::rowIdColumn(QStringLiteral("powers"))));
        while (users.next())
            plain.append({users.intValue(0), users.textValue(1)});
    }
    db::Statement store(connection, QStringLiteral("update powers set pass_hash=:hash, password='' where %1=:id")
                                        .arg(db::Schema::rowIdColumn(QStringLiteral("powers"))));
    for (const auto& [id, password] : plain) {
        store.reset();
        store.bind(QStringLiteral("hash"), PasswordHash::make(password)).bind(QStringLiteral("id"), id);
        store.execute();
    }
}

// Grants the use of the functions from `first` on (one "1" each in `ticks`) to
// whoever may set rights, filling the positions before them with "0".
void grantUse(db::Connection& connection, int first, const QString& ticks)
{
    const int before = first - 1;
    connection.execute(QStringLiteral("update powers set pow_use=substr(coalesce(pow_use,'')||'%1',1,%2)||'%3' "
                                      "where substr(pow_use,%4,1)='1'")
                           .arg(QString(before, QLatin1Char('0')))
                           .arg(before)
                           .arg(ticks)
                           .arg(Function::Powers));
}

// The change log's window for what the program itself does to the database.
const QString databaseWindow = QStringLiteral("数据库");

// `a||''` compares without the column's case-blind collation, on both engines.
const QString spelledOtherwise = QStringLiteral("g.gods_code||'' <> %1.gods_code||''");

// Lines whose goods code names goods in another case take the goods' own code. Returns how many.
int mendLineCodes(db::Connection& connection, const QString& table)
{
    db::Statement mend(connection, QStringLiteral("update %1 set gods_code=(select g.gods_code from goods g "
                                                  "where g.gods_code=%1.gods_code order by g.in_id limit 1) "
                                                  "where exists (select 1 from goods g where g.gods_code=%1.gods_code and %2)")
                                       .arg(table, spelledOtherwise.arg(table)));
    return mend.execute();
}

// Stock records of one goods in several spellings become one record under the
// goods' own code: their quantities added, the cost averaged over the records
// holding stock (else the cost of the record already spelled right). Returns
// how many goods were mended; `merged` names those that had several records.
int mendStockCodes(db::Connection& connection, QStringList& merged)
{
    QStringList codes;
    {
        db::Statement spelled(connection, QStringLiteral("select distinct g.gods_code||'' from storemain s join goods g "
                                                         "on g.gods_code=s.gods_code where %1 order by 1")
                                              .arg(spelledOtherwise.arg(QStringLiteral("s"))));
        while (spelled.next())
            codes << spelled.textValue(0);
    }
    for (const QString& code : std::as_const(codes)) {
        double quantity = 0, stockQuantity = 0, stockValue = 0;
        QVariant ownCost, firstCost;
        int rows = 0;
        {
            db::Statement records(connection, QStringLiteral("select gods_code,gods_amou,cost_pric from storemain "
                                                             "where gods_code=:code"));
            records.bind(QStringLiteral("code"), code);
            while (records.next()) {
                const double q = records.doubleValue(1);
                const QVariant cost = records.value(2);
                quantity += q;
                if (q > 0 && !cost.isNull()) {
                    stockQuantity += q;
                    stockValue += q * cost.toDouble();
                }
                if (rows++ == 0)
                    firstCost = cost;
                if (records.textValue(0) == code)
                    ownCost = cost;
            }
        }
        const QVariant cost = stockQuantity > 0 ? QVariant(stockValue / stockQuantity)
                                                : (ownCost.isNull() ? firstCost : ownCost);
        db::Statement clear(connection, QStringLiteral("delete from storemain where gods_code=:code"));
        clear.bind(QStringLiteral("code"), code);
        clear.execute();
        db::Statement insert(connection, QStringLiteral("insert into storemain (gods_code,gods_amou,cost_pric) "
                                                        "values (:code,:q,:cost)"));
        insert.bind(QStringLiteral("code"), code).bind(QStringLiteral("q"), quantity).bind(QStringLiteral("cost"), cost);
        insert.execute();
        if (rows > 1)
            merged << QStringLiteral("%1：%2 条库存记录合为 1 条，数量 %3").arg(code).arg(rows).arg(DataHelpers::amountText(quantity));
    }
    return codes.size();
}

const QString codesAction = QStringLiteral("统一货品编码");

// Version 6: goods codes typed in another case were stored as typed; they
// become the goods' own code, on bill lines, counts and stock.
void mendGoodsCodeCase(db::Connection& connection)
{
    QStringList detail;
    for (const QString& table : {QStringLiteral("ingoods"), QStringLiteral("outgoods"), QStringLiteral("storchek")}) {
        if (const int rows = mendLineCodes(connection, table); rows > 0)
            detail << QStringLiteral("%1：%2 行").arg(table).arg(rows);
    }
    QStringList merged;
    if (const int goods = mendStockCodes(connection, merged); goods > 0)
        detail << QStringLiteral("storemain：%1 种货品").arg(goods);
    if (detail.isEmpty())
        return;
    // Two records of one goods would both be read as its stock: they are one now.
    detail << merged;
    OperationLog::write(connection, {databaseWindow, codesAction, {},
                                     QStringLiteral("货品编码的大小写改为货品资料中的写法"), detail.join(QLatin1Char('\n'))});
}

const QString numbersAction = QStringLiteral("重复单号");

bool isGoods(const db::DuplicateNumbers& duplicates)
{
    return duplicates.table == QLatin1String("goods");
}

QString duplicatesReport(const QList<db::DuplicateNumbers>& found)
{
    static const QHash<QString, QString> names{{QStringLiteral("inmain"), QStringLiteral("进货和顾客退货单")},
                                               {QStringLiteral("outmain"), QStringLiteral("销售和退货厂商单")},
                                               {QStringLiteral("gathmain"), QStringLiteral("收款单")},
                                               {QStringLiteral("paymain"), QStringLiteral("付款单")},
                                               {QStringLiteral("goods"), QStringLiteral("货品资料")}};
    constexpr int shown = 10;
    QStringList lines{QStringLiteral("数据库中有重复的单号或货品编码（数据没有改动，照常可以使用）：")};
    for (const db::DuplicateNumbers& d : found) {
        lines << (isGoods(d) ? QStringLiteral("%1（%2）：%3 个编码重复，共 %4 种货品：%5%6")
                             : QStringLiteral("%1（%2）：%3 个单号重复，共 %4 张：%5%6"))
                     .arg(names.value(d.table), d.table)
                     .arg(d.numbers.size())
                     .arg(d.rows)
                     .arg(d.numbers.mid(0, shown).join(QStringLiteral("、")),
                          d.numbers.size() > shown ? QStringLiteral(" 等") : QString());
    }
    lines << QStringLiteral("新保存的单据不会再重号。重复的单据删除后重新输入，重复编码的货品改正编码，"
                            "程序下次打开时这些编号就自动设为唯一。");
    return lines.join(QLatin1Char('\n'));
}

const QString barcodesAction = QStringLiteral("条码与编码重复");

// Writes a report into the change log unless the last one of its action said
// the same; returns it, or nothing when it had been told.
QString tellOnce(db::Connection& connection, const QString& action, const QString& summary, const QString& report)
{
    // Told once: a shop cannot mend old data at every start, and the log keeps the list.
    db::Transaction transaction(connection, db::Transaction::Write);
    db::Statement told(connection, QStringLiteral("select detail from oper_log where win_name=:window and act_name=:action "
                                                  "order by log_id desc limit 1"));
    told.bind(QStringLiteral("window"), databaseWindow).bind(QStringLiteral("action"), action);
    if (told.next() && told.textValue(0) == report)
        return {};
    OperationLog::write(connection, {databaseWindow, action, {}, summary, report});
    transaction.commit();
    return report;
}

} // namespace

bool needed(db::Connection& connection)
{
    return db::Schema::fileVersion(connection) < db::Schema::version();
}

void upgradeCopy(db::Connection& connection)
{
    const int from = db::Schema::fileVersion(connection);
    if (from >= db::Schema::version())
        return;
    db::Transaction transaction(connection, db::Transaction::Write);
    db::Schema::upgrade(connection);
    if (from < 2)
        grantLogViewer(connection);
    if (from < 3) {
        hashPasswords(connection);
        // Credit limits and the home page's gross profit.
        grantUse(connection, Function::SaleOverCreditLimit, QStringLiteral("11"));
    }
    if (from < 6)
        mendGoodsCodeCase(connection);
    if (from < 7)   // the till and the right to change its prices
        grantUse(connection, Function::RetailTill, QStringLiteral("11"));
    if (from < 8) {   // members and markdowns
        grantUse(connection, Function::Members, QStringLiteral("11"));
        DatabaseFile::addMemberLevels(connection);
    }
    transaction.commit();
}

QString run(db::Connection& connection)
{
    const int from = db::Schema::fileVersion(connection);
    if (from >= db::Schema::version())
        return {};
    const QString directory = AppPaths::backupDirectory();
    const QString target = QDir(directory).filePath(
        QStringLiteral("brovanta-v%1-before-upgrade-%2.mdb").arg(from).arg(Clock::now().toString(QStringLiteral("yyyyMMdd-hhmmss"))));
    QDir().mkpath(directory);
    const MaintenanceResult backup = DatabaseBackup::runTo(ShopServer::placeOf(connection), target, {});
    if (!backup.ok)
        throw db::Error(QStringLiteral("数据库需要升级到新版本，但升级前的自动备份失败，数据库没有改动：\n%1").arg(backup.reason));
    try {
        upgradeCopy(connection);
    } catch (const db::Error& e) {
        throw db::Error(QStringLiteral("数据库升级失败，数据库没有改动（升级前的备份: %1）：\n%2")
                            .arg(QDir::toNativeSeparators(target), e.message()));
    }
    return target;
}

QString checkNumbers(db::Connection& connection)
{
    const QList<db::DuplicateNumbers> found = db::Schema::makeUniqueNumbers(connection);
    if (found.isEmpty())
        return {};
    int bills = 0;
    int goods = 0;
    for (const db::DuplicateNumbers& d : found)
        (isGoods(d) ? goods : bills) += d.rows;
    QStringList summary;
    if (bills > 0)
        summary << QStringLiteral("%1 张单据的单号重复").arg(bills);
    if (goods > 0)
        summary << QStringLiteral("%1 种货品的编码重复").arg(goods);
    return tellOnce(connection, numbersAction, summary.join(QStringLiteral("，")) + QStringLiteral("，这些编号未设为唯一"),
                    duplicatesReport(found));
}

QString checkBarcodes(db::Connection& connection)
{
    QStringList clashes;
    {
        db::Statement query(connection, QStringLiteral(
            "select a.gods_code, a.gods_name, a.bar_code, b.gods_code, b.gods_name from goods a "
            "join goods b on a.bar_code=b.gods_code and a.in_id<>b.in_id order by a.gods_code, b.gods_code"));
        while (query.next())
            clashes << QStringLiteral("货品“%1”的条形码“%2”是货品“%3”的编码")
                           .arg((query.textValue(0) + QLatin1Char(' ') + query.textValue(1)).trimmed(),
                                query.textValue(2),
                                (query.textValue(3) + QLatin1Char(' ') + query.textValue(4)).trimmed());
    }
    if (clashes.isEmpty())
        return {};
    constexpr int shown = 20;
    QStringList lines{QStringLiteral("数据库中有货品的条形码是另一种货品的编码（数据没有改动）：")};
    lines << clashes.mid(0, shown);
    if (clashes.size() > shown)
        lines << QStringLiteral("…共 %1 处").arg(clashes.size());
    lines << QStringLiteral("扫描或输入这样的编码时找到的是有这个条形码的货品。请在“货品资料”中改正这些条形码。");
    return tellOnce(connection, barcodesAction,
                    QStringLiteral("%1 种货品的条形码是另一种货品的编码").arg(clashes.size()),
                    lines.join(QLatin1Char('\n')));
}

} // namespace DatabaseUpgrade
