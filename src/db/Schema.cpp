#include "db/Schema.h"

#include "db/Connection.h"
#include "db/Engine.h"
#include "db/ServerRoles.h"
#include "db/Statement.h"
#include "db/Transaction.h"

#include <QHash>

namespace db {

namespace {

Column text(const char* name, int size) { return {QString::fromLatin1(name), ColumnType::Text, size, {}}; }
Column dbl(const char* name) { return {QString::fromLatin1(name), ColumnType::Double, 0, {}}; }
Column date(const char* name) { return {QString::fromLatin1(name), ColumnType::DateTime, 0, {}}; }
Column counter(const char* name) { return {QString::fromLatin1(name), ColumnType::Counter, 0, {}}; }
Column zero(const char* name) { return {QString::fromLatin1(name), ColumnType::Double, 0, 0}; }
Column zeroDecimal(const char* name) { return {QString::fromLatin1(name), ColumnType::Decimal, 0, 0}; }
Column whole(const char* name) { return {QString::fromLatin1(name), ColumnType::Decimal, 0, {}}; }
// A column that a later version appended: `added(3, text("bar_code", 20))` at the end of its table.
Column added(int version, Column column)
{
    column.since = version;
    return column;
}

// The identity of the save that wrote a bill or voucher last, or the count or
// adjustment a log line records: a save whose answer was lost is found by it,
// and a retry cannot store it twice.
Column saveIdentity() { return added(6, text("save_id", 40)); }

QList<Column> voucherLine()
{
    return {text("fei_no", 20), date("fei_date"), text("bill_no", 14), dbl("paid_amou")};
}

QList<Column> billHeader()
{
    return {counter("in_id"), text("bill_no", 14), text("vouc_no", 12), date("bill_date"),
            text("comp_code", 10), text("mone_type", 10), dbl("mone_rate"), text("fee_type", 10),
            text("hand_code", 10), text("chek_code", 10), text("oper_code", 10), text("send_code", 10),
            text("rece_code", 10), text("rela_code", 10), dbl("fact_tota"), dbl("shou_tota"),
            text("remark", 50), text("bill_type", 10), text("oper_name", 10), saveIdentity(),
            // Taken off the lines' total (a till's rounding), the till shift that took
            // the money, and on a customer return the till sale it returns goods of.
            added(7, dbl("disc_tota")), added(7, whole("shift_id")), added(7, text("sale_no", 14)),
            // The member card the sale or the return was made for.
            added(8, text("card_no", 20))};
}

QList<Column> billLine()
{
    return {counter("in_id"), text("bill_no", 14), text("gods_code", 20), dbl("sub_amou"),
            dbl("unit_pric"), text("remark", 10)};
}

// A stored bill's line also keeps the retail price it started from and the
// markdown rule that priced it.
QList<Column> storedBillLine()
{
    return billLine() << added(8, dbl("list_pric")) << added(8, text("mark_name", 30));
}

QList<Column> stockCount()
{
    return {text("gods_code", 20), dbl("gods_amou"), dbl("chek_amou"), date("chek_date")};
}

QList<Column> movement()
{
    return {text("gods_code", 20), zero("last_amou"), zero("in_amou"), zero("out_amou"),
            zeroDecimal("now_amou")};
}

QList<Column> voucher()
{
    return {text("fei_no", 20), date("fei_date"), text("comp_code", 10), text("comp_name", 50),
            text("bill_no", 14), date("start_date"), date("end_date"), dbl("shou_tota"),
            dbl("fact_tota"), dbl("lack_tota"), dbl("last_tota"), dbl("fei_tota"), dbl("rest_tota"),
            text("oper_name", 10), text("fei_name", 10), text("chek_name", 10), text("invo_no", 20),
            text("re_mark", 50), saveIdentity()};
}

QList<Table> buildTables()
{
    return {
        {QStringLiteral("goods"),
         {counter("in_id"), text("gods_code", 20), text("gods_name", 40), text("gods_spec", 20),
          text("gods_type", 20), text("gods_color", 10), text("gods_size", 20), text("gods_in", 30),
          text("gods_face", 20), text("gods_kind", 20), text("pack_unit", 20), text("gods_unit", 10),
          dbl("mate_pric"), dbl("mach_pric"), dbl("batch_out"), dbl("valu_in"), dbl("valu_out"),
          dbl("max_amou"), dbl("min_amou"), text("prod_place", 30), text("prod_code", 20),
          text("supp_code", 20), dbl("agent_pric"), text("touch_code", 20), text("gods_note", 100),
          added(3, text("styl_code", 20)), added(3, text("bar_code", 20)), added(8, text("season", 20))}},
        {QStringLiteral("company"),
         {text("comp_code", 10), text("comp_name", 50), text("comp_addr", 80), text("rela_name", 20),
          text("rela_phon", 30), text("head_name", 20), text("head_phon", 30), text("bank_no", 40),
          text("comp_type", 20), text("belo_coun", 20), text("belo_prov", 20), text("belo_area", 20),
          text("post_code", 10), text("fax", 30), text("e_mail", 50), text("comp_note", 100),
          dbl("rest_tota"), added(3, dbl("cred_limit"))}},
        {QStringLiteral("employee"),
         {text("empl_code", 10), text("empl_name", 20), text("empl_sex", 2), date("empl_birth"),
          date("in_date"), text("id_card", 20), text("regi_place", 50), text("native_place", 50),
          text("school_name", 50), text("special", 30), text("degree", 20), text("leave_school", 20),
          text("society_no", 30), text("medica_no", 30), text("post_code", 10), text("rela_addr", 80),
          text("mobile", 30), text("rela_phon", 30), text("exig_rela", 20), text("exig_tele", 30),
          text("dept_name", 20), text("tech_class", 20), text("duty", 20), text("low_salary", 20),
          text("class_type", 20), text("salary_type", 20)}},
        {QStringLiteral("inmain"), billHeader()},
        {QStringLiteral("outmain"), billHeader()},
        {QStringLiteral("ingoods"), storedBillLine()},
        {QStringLiteral("outgoods"), storedBillLine()},
        {QStringLiteral("outtemp"), billLine()},
        {QStringLiteral("storemain"), {text("gods_code", 20), dbl("gods_amou"), dbl("cost_pric")}},
        {QStringLiteral("chektemp"), stockCount()},
        {QStringLiteral("storchek"), stockCount()},
        {QStringLiteral("miostemp"), movement()},
        {QStringLiteral("mios"), movement()},
        {QStringLiteral("gathmain"), voucher()},
        {QStringLiteral("paymain"), voucher()},
        {QStringLiteral("powers"),
         {text("user_id", 10), text("password", 10), text("dept_name", 10), text("pow_use", 50),
          text("pow_add", 50), text("pow_edit", 50), text("pow_dele", 50), text("pow_chek", 50),
          text("pow_find", 50), text("pow_prin", 50), added(3, text("pass_hash", 120))}},
        {QStringLiteral("baseitem"),
         {text("fee_code", 10), text("fee_type", 10), text("mone_code", 10), text("mone_type", 10),
          dbl("mone_rate"), text("gods_type_id", 10), text("gods_type", 20), text("gods_kind_id", 10),
          text("gods_kind", 20), text("gods_spec_id", 10), text("gods_spec", 20),
          text("gods_color_id", 10), text("gods_color", 10), text("gods_size_id", 10),
          text("gods_size", 20), text("gods_unit_id", 10), text("gods_unit", 10),
          text("prod_place_id", 10), text("prod_place", 30)}},
        {QStringLiteral("userinfo"),
         {text("comp_name", 50), text("user_posi", 50), text("user_addr", 80), text("user_tele", 30),
          text("user_fax", 30), text("user_mail", 50), text("user_www", 50), text("stad_no", 30),
          text("bill_bottom", 100),
          // The till: the lowest price a cashier without the right to change prices may
          // charge, as a percentage of the retail price; the unit the total is rounded down to.
          added(7, dbl("disc_limit")), added(7, dbl("round_unit")),
          // Members: points worth one yuan when redeemed; whether a level's discount
          // applies on top of a markdown (1) or the member gets the better of the two (0).
          added(8, dbl("point_value")), added(8, dbl("disc_on_disc"))}},
        // Who changed what: written in the transaction of the change it records.
        {QStringLiteral("oper_log"),
         {counter("log_id"), date("log_time"), text("user_id", 10), text("win_name", 20), text("act_name", 10),
          text("log_key", 20), text("summary", 100), text("detail", 4000), saveIdentity()},
         2, true},
        // What each receipt or payment paid on each bill, so that an amount owed
        // can be told as it stood on an earlier date.
        {QStringLiteral("gathbill"), voucherLine(), 3},
        {QStringLiteral("paybill"), voucherLine(), 3},
        // How a till sale was paid or a till return refunded (negative), by method.
        {QStringLiteral("outpay"),
         {counter("pay_id"), text("bill_no", 14), text("fee_type", 10), dbl("paid_amou")}, 7},
        // A cashier's shift at the till, from the float to the counted cash.
        {QStringLiteral("tillshift"),
         {counter("shift_id"), text("oper_code", 10), date("open_time"), date("close_time"), dbl("float_amou"),
          dbl("expe_amou"), dbl("count_amou"), dbl("diff_amou")}, 7},
        // Member cards; the card number is unique, and so is the mobile number when given.
        {QStringLiteral("member"),
         {counter("memb_id"), text("card_no", 20), text("memb_name", 20), text("mobile", 20),
          text("level_name", 10), date("birthday"), date("join_date"), whole("points"), text("remark", 50)}, 8},
        // Member levels: the discount in percent of the price and the points earned a yuan.
        {QStringLiteral("memblevel"), {text("level_name", 10), dbl("discount"), dbl("point_rate")}, 8},
        // Each change of a member's points, signed: earned by a sale, taken back by a
        // return, spent as money, corrected by hand.
        {QStringLiteral("membpoint"),
         {counter("point_id"), text("card_no", 20), date("point_date"), text("bill_no", 14),
          text("kind", 10), whole("points")}, 8},
        // Markdowns: a date range, what they cover (款号, 品牌, 分类 or every goods, by
        // `scope` and `scope_value`), and a percent of the retail price or a fixed price.
        {QStringLiteral("markdown"),
         {counter("mark_id"), text("mark_name", 30), date("start_date"), date("end_date"), text("scope", 10),
          text("scope_value", 20), dbl("discount"), dbl("fixed_pric")}, 8},
    };
}

QString sqlType(ColumnType type, bool server)
{
    switch (type) {
    case ColumnType::Text:
        return server ? QStringLiteral("citext") : QStringLiteral("TEXT COLLATE NOCASE");
    case ColumnType::DateTime:
        return server ? QStringLiteral("timestamp(0)") : QStringLiteral("TEXT COLLATE NOCASE");
    case ColumnType::Double:
        return server ? QStringLiteral("double precision") : QStringLiteral("REAL");
    case ColumnType::Counter:
        return server ? QStringLiteral("bigint generated by default as identity primary key")
                      : QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
    case ColumnType::Decimal:
        // The server rounds half away from zero when it stores; the file needs a trigger.
        return server ? QStringLiteral("numeric(18,0)") : QStringLiteral("INTEGER");
    }
    return {};
}

const Column* counterOf(const Table& table)
{
    for (const Column& c : table.columns)
        if (c.type == ColumnType::Counter)
            return &c;
    return nullptr;
}

} // namespace

QString columnDefinition(const Column& c, bool server)
{
    QString part = c.name + QLatin1Char(' ') + sqlType(c.type, server);
    if (c.defaultValue.isValid())
        part += QStringLiteral(" DEFAULT ") + c.defaultValue.toString();
    return part;
}

const QList<Table>& Schema::tables()
{
    static const QList<Table> all = buildTables();
    return all;
}

const Table* Schema::table(const QString& name)
{
    for (const Table& t : tables())
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

const Column* Schema::column(const QString& table, const QString& name)
{
    const Table* t = Schema::table(table);
    if (!t)
        return nullptr;
    for (const Column& c : t->columns)
        if (c.name.compare(name, Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

const Column* Schema::column(const QString& name)
{
    static const QHash<QString, const Column*> byName = [] {
        QHash<QString, const Column*> map;
        for (const Table& t : tables())
            for (const Column& c : t.columns)
                if (!map.contains(c.name))
                    map.insert(c.name, &c);
        return map;
    }();
    return byName.value(name.toLower(), nullptr);
}

const Column* Schema::counterColumn(const QString& tableName)
{
    const Table* t = table(tableName);
    return t ? counterOf(*t) : nullptr;
}

QString Schema::rowIdColumn(const QString& tableName)
{
    const Column* c = counterColumn(tableName);
    return c ? c->name : QStringLiteral("rowid");
}

QString Schema::createStatement(const Table& table, bool server)
{
    QStringList parts;
    for (const Column& c : table.columns)
        parts << columnDefinition(c, server);
    // The server has no rowid of its own: a table without a counter gets one last.
    if (server && !counterOf(table))
        parts << QStringLiteral("rowid bigint generated by default as identity primary key");
    return QStringLiteral("create table %1 (%2)").arg(table.name, parts.join(QStringLiteral(", ")));
}

namespace {

const char* const scratchTables[] = {"outtemp", "chektemp", "miostemp", "mios"};

// Look-ups by code and the joins of bill headers and lines; kept when present.
// Each index with the shape version that added it; an upgrade creates those it lacks.
struct Index {
    int since;
    const char* sql;
};

const Index indexes[] = {
    {1, "create index if not exists goods_code on goods(gods_code)"},
    {1, "create index if not exists company_code on company(comp_code)"},
    {1, "create index if not exists employee_code on employee(empl_code)"},
    {1, "create index if not exists powers_user on powers(user_id)"},
    {1, "create index if not exists inmain_bill on inmain(bill_no)"},
    {1, "create index if not exists inmain_date on inmain(bill_date)"},
    {1, "create index if not exists outmain_bill on outmain(bill_no)"},
    {1, "create index if not exists outmain_date on outmain(bill_date)"},
    // A company's bills of a period: settlements and statements of account.
    {1, "create index if not exists inmain_comp on inmain(comp_code, bill_date)"},
    {1, "create index if not exists outmain_comp on outmain(comp_code, bill_date)"},
    {1, "create index if not exists ingoods_bill on ingoods(bill_no)"},
    {1, "create index if not exists outgoods_bill on outgoods(bill_no)"},
    {1, "create index if not exists storemain_code on storemain(gods_code)"},
    {1, "create index if not exists storchek_date on storchek(chek_date)"},
    {2, "create index if not exists oper_log_time on oper_log(log_time)"},
    // A bill's earlier prints (reprint) and the log viewer's key filter.
    {3, "create index if not exists oper_log_key on oper_log(log_key)"},
    // A style's goods for the size and colour grid.
    {3, "create index if not exists goods_style on goods(styl_code)"},
    // A scanned code's goods.
    {3, "create index if not exists goods_bar_code on goods(bar_code)"},
    // Ageing and the statement take back what a voucher after their date paid.
    {3, "create index if not exists gathbill_bill on gathbill(bill_no)"},
    {3, "create index if not exists paybill_bill on paybill(bill_no)"},
    {3, "create index if not exists gathbill_date on gathbill(fei_date)"},
    {3, "create index if not exists paybill_date on paybill(fei_date)"},
    // Only the bills still open: the ageing and the home page read these.
    {3, "create index if not exists outmain_open on outmain(bill_date) where coalesce(shou_tota,0)<>coalesce(fact_tota,0)"},
    {3, "create index if not exists inmain_open on inmain(bill_date) where coalesce(shou_tota,0)<>coalesce(fact_tota,0)"},
    // The same bills in company order with all the ageing reads of them: it sums
    // them as it reads them and never visits the table.
    {4, "create index if not exists outmain_owed on outmain(comp_code, bill_date, bill_type, shou_tota, fact_tota) "
        "where coalesce(shou_tota,0)<>coalesce(fact_tota,0)"},
    {4, "create index if not exists inmain_owed on inmain(comp_code, bill_date, bill_type, shou_tota, fact_tota) "
        "where coalesce(shou_tota,0)<>coalesce(fact_tota,0)"},
    // One save is stored once (see saveIdentity); rows written before it carry none.
    {6, "create unique index if not exists inmain_save on inmain(save_id)"},
    {6, "create unique index if not exists outmain_save on outmain(save_id)"},
    {6, "create unique index if not exists gathmain_save on gathmain(save_id)"},
    {6, "create unique index if not exists paymain_save on paymain(save_id)"},
    // A count or an adjustment has no header of its own: its log line carries its identity.
    {6, "create unique index if not exists oper_log_save on oper_log(save_id)"},
    // A company's vouchers in order: the credit it had on a date (ageing, statements).
    {7, "create index if not exists gathmain_comp on gathmain(comp_code, fei_date, fei_no)"},
    {7, "create index if not exists paymain_comp on paymain(comp_code, fei_date, fei_no)"},
    // A till sale's payments, a shift's bills, a receipt's returns.
    {7, "create index if not exists outpay_bill on outpay(bill_no)"},
    {7, "create index if not exists outmain_shift on outmain(shift_id)"},
    {7, "create index if not exists inmain_shift on inmain(shift_id)"},
    {7, "create index if not exists inmain_sale on inmain(sale_no)"},
    // A member by card or phone, a member's sales and points; goods of a season.
    {8, "create unique index if not exists member_card on member(card_no)"},
    {8, "create index if not exists member_mobile on member(mobile)"},
    {8, "create index if not exists outmain_card on outmain(card_no, bill_date)"},
    {8, "create index if not exists membpoint_card on membpoint(card_no, point_date)"},
    {8, "create index if not exists goods_season on goods(season)"},
    // A count's save finds each counted goods' row of the month.
    {8, "create index if not exists storchek_code on storchek(gods_code, chek_date)"},
    {7, "create index if not exists tillshift_open on tillshift(oper_code, close_time)"},
};

// Bill and voucher numbers and goods codes, each unique in its table. A database
// that already holds one twice goes on without that index (see makeUniqueNumbers).
struct UniqueNumber {
    const char* table;
    const char* column;
};
const UniqueNumber uniqueNumbers[] = {{"inmain", "bill_no"},   {"outmain", "bill_no"}, {"gathmain", "fei_no"},
                                      {"paymain", "fei_no"},   {"goods", "gods_code"}};
constexpr int uniqueNumbersSince = 5;
// Versions that mended data only (see DatabaseUpgrade): 6 stores goods codes
// on lines, counts and stock as the goods' own spelling.
constexpr int dataMendsSince = 6;

QString uniqueIndexName(const UniqueNumber& unique)
{
    return QStringLiteral("%1_%2_unique").arg(QString::fromLatin1(unique.table), QString::fromLatin1(unique.column));
}

void createIndexes(Connection& connection)
{
    for (const Index& index : indexes)
        connection.execute(QString::fromLatin1(index.sql));
    Schema::makeUniqueNumbers(connection);
}

void markVersion(Connection& connection)
{
    Schema::setFileVersion(connection, Schema::version());
}

} // namespace

QStringList Schema::columnsOf(Connection& connection, const QString& table)
{
    return connection.engine().columnsOf(table);
}

void Schema::create(Connection& connection)
{
    Engine& engine = connection.engine();
    engine.prepareShape();
    for (const Table& t : tables())
        engine.createTable(t);
    createIndexes(connection);
    markVersion(connection);
}

void Schema::createScratchTables(Connection& connection)
{
    for (const char* name : scratchTables)
        connection.engine().createWorkingTable(*table(QString::fromLatin1(name)));
}

bool Schema::isScratch(const QString& name)
{
    for (const char* scratch : scratchTables)
        if (name.compare(QLatin1String(scratch), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

int Schema::version()
{
    static const int highest = [] {
        int v = qMax(uniqueNumbersSince, dataMendsSince);
        for (const Index& index : indexes)
            v = qMax(v, index.since);
        for (const Table& t : tables()) {
            v = qMax(v, t.since);
            for (const Column& c : t.columns)
                v = qMax(v, c.since);
        }
        return v;
    }();
    return highest;
}

QList<DuplicateNumbers> Schema::makeUniqueNumbers(Connection& connection)
{
    // A server's PCs may not make indexes: they wait for its owner (an upgrade).
    const bool mayMake = ServerRoles::mayChangeShape(connection);
    QList<const UniqueNumber*> missing;
    for (const UniqueNumber& unique : uniqueNumbers)
        if (!connection.engine().hasIndex(uniqueIndexName(unique)))
            missing << &unique;
    if (missing.isEmpty())
        return {};
    // Under the write lock: two programs opening at once make each index once.
    Transaction transaction(connection, Transaction::Write);
    QList<DuplicateNumbers> found;
    for (const UniqueNumber* unique : missing) {
        DuplicateNumbers duplicates{QString::fromLatin1(unique->table), QString::fromLatin1(unique->column), {}, 0};
        // Grouped as the column compares: without case, as the index would.
        Statement twice(connection, QStringLiteral("select %2, count(*) from %1 where %2 is not null group by %2 "
                                                   "having count(*)>1 order by %2")
                                        .arg(duplicates.table, duplicates.column));
        while (twice.next()) {
            duplicates.numbers << twice.textValue(0);
            duplicates.rows += twice.intValue(1);
        }
        if (duplicates.numbers.isEmpty() && mayMake)
            connection.execute(QStringLiteral("create unique index if not exists %3 on %1(%2)")
                                   .arg(duplicates.table, duplicates.column, uniqueIndexName(*unique)));
        else if (!duplicates.numbers.isEmpty())
            found << duplicates;
    }
    transaction.commit();
    return found;
}

void Schema::dropUniqueNumbers(Connection& connection)
{
    // Where they cannot go, numbers held twice are refused by the indexes instead.
    if (!ServerRoles::mayChangeShape(connection))
        return;
    for (const UniqueNumber& unique : uniqueNumbers)
        connection.execute(QStringLiteral("drop index if exists %1").arg(uniqueIndexName(unique)));
}

void Schema::setFileVersion(Connection& connection, int version)
{
    connection.engine().setShapeVersion(version);
}

int Schema::fileVersion(Connection& connection)
{
    return connection.engine().shapeVersion();
}

void Schema::upgrade(Connection& connection)
{
    Transaction transaction(connection, Transaction::Write);
    // Files of the first release carry version 0 and the shape of version 1.
    const int from = qMax(fileVersion(connection), 1);
    if (fileVersion(connection) >= version())
        return;
    for (const Table& t : tables()) {
        // A file may already hold a table or column its version mark does not count:
        // it is not added twice.
        const QStringList present = Schema::columnsOf(connection, t.name);
        if (t.since > from) {
            if (present.isEmpty())
                connection.engine().createTable(t);
            continue;
        }
        for (const Column& c : t.columns)
            if (c.since > from && !present.contains(c.name.toLower()))
                connection.engine().addColumn(t.name, c);
    }
    createIndexes(connection);
    markVersion(connection);
    transaction.commit();
}

} // namespace db
