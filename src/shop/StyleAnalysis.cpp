#include "shop/StyleAnalysis.h"

#include "db/Statement.h"
#include "shop/BillStore.h"
#include "shop/StockPosting.h"
#include "shop/StockSheet.h"
#include "shop/StyleGeneration.h"
#include "shop/StyleGrid.h"

#include <QDateTime>
#include <QHash>
#include <QMap>
#include <algorithm>
#include <cmath>
#include <numeric>

namespace StyleAnalysis {

namespace {

using StockPosting::BillKind;

struct GoodsInfo {
    QString style, brand, category, kind, color, size, season;
};

// Which goods a reading covers: all, or those whose goods column holds a value.
struct GoodsFilter {
    QString column;   // empty: every goods
    QString value;

    // The condition on a goods code column ("b.gods_code"); empty for every goods.
    QString condition(const QString& codeColumn) const
    {
        if (column.isEmpty())
            return {};
        if (column == QLatin1String("gods_code"))
            return QStringLiteral(" and %1=:goods_value").arg(codeColumn);
        return QStringLiteral(" and %1 in (select gods_code from goods where %2=:goods_value)").arg(codeColumn, column);
    }
    void bind(db::Statement& statement) const
    {
        if (!column.isEmpty())
            statement.bind(QStringLiteral("goods_value"), value);
    }
};

QString column(Grouping grouping)
{
    switch (grouping) {
    case Grouping::Style: return QStringLiteral("styl_code");
    case Grouping::Brand: return QStringLiteral("gods_spec");
    case Grouping::Category: return QStringLiteral("gods_kind");
    case Grouping::Kind: return QStringLiteral("gods_type");
    case Grouping::Season: return QStringLiteral("season");
    }
    return {};
}

QString billType(BillKind kind)
{
    return BillStore::info(kind).billType;
}

// The day of a stored date-time ("yyyy-MM-dd hh:mm:ss"), read by its digits:
// the reports read one per goods or per purchase line.
QDate storedDate(const db::Statement& statement, int column)
{
    const QByteArrayView text = statement.utf8Text(column);
    if (text.size() < 10 || text[4] != '-' || text[7] != '-')
        return {};
    const auto number = [&text](int from, int length) {
        int n = 0;
        for (int i = from; i < from + length; ++i)
            n = n * 10 + (text[i] - '0');
        return n;
    };
    return QDate(number(0, 4), number(5, 2), number(8, 2));
}

QHash<QString, GoodsInfo> goodsInfo(db::Connection& connection)
{
    QHash<QString, GoodsInfo> info;
    db::Statement read(connection, QStringLiteral("select gods_code,styl_code,gods_spec,gods_kind,gods_type,"
                                                  "gods_color,gods_size,season from goods order by in_id"));
    while (read.next()) {
        const QString code = read.textValue(0);
        if (!info.contains(code))   // two rows of one code: the first counts, as everywhere
            info.insert(code, {read.textValue(1).trimmed(), read.textValue(2).trimmed(), read.textValue(3).trimmed(),
                               read.textValue(4).trimmed(), read.textValue(5).trimmed(), read.textValue(6).trimmed(),
                               read.textValue(7).trimmed()});
    }
    return info;
}

// The group a goods falls in; a goods without a 款号 is its own style.
QString keyOf(std::optional<Grouping> grouping, const QString& code, const QHash<QString, GoodsInfo>& info)
{
    if (!grouping)
        return code;
    const GoodsInfo goods = info.value(code);
    switch (*grouping) {
    case Grouping::Style: return goods.style.isEmpty() ? code : goods.style;
    case Grouping::Brand: return goods.brand;
    case Grouping::Category: return goods.category;
    case Grouping::Kind: return goods.kind;
    case Grouping::Season: return goods.season.isEmpty() ? noSeason : goods.season;
    }
    return code;
}

// One goods' movements: the range's figures from its bills, and the stock that
// bills, counts and adjustments moved in the range and after it.
struct Moves {
    Figures figures;
    double movedInRange = 0;
    double movedAfter = 0;
};

// Every bill line of the four kinds from the range's start (to its end unless
// `after`), summed per goods in one statement. A customer return marked
// "不入库" counts as returned but never moved stock.
QHash<QString, Moves> moves(db::Connection& connection, const DateRange& dates, bool after, const GoodsFilter& filter)
{
    const QString branch = QStringLiteral(
        " select b.gods_code,a.bill_date as d,%3 as rece,%4 as sold,%5 as retu,%6 as amou,%7 as moved"
        " from %1 a inner join %2 b on a.bill_no=b.bill_no where a.bill_date>=:date1%8 and a.bill_type=:%9");
    const QString end = after ? QString() : QStringLiteral(" and a.bill_date<:date2");
    const QString only = filter.condition(QStringLiteral("b.gods_code")) + end;
    const QString sql =
        QStringLiteral("select gods_code,"
                       "sum(case when d<:date2 then rece else 0 end),sum(case when d<:date2 then sold else 0 end),"
                       "sum(case when d<:date2 then retu else 0 end),sum(case when d<:date2 then amou else 0 end),"
                       "sum(case when d<:date2 then moved else 0 end),sum(case when d<:date2 then 0 else moved end)"
                       " from (")
        + branch.arg(QStringLiteral("inmain"), QStringLiteral("ingoods"), QStringLiteral("b.sub_amou"), QStringLiteral("0"),
                     QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("b.sub_amou"), only, QStringLiteral("purchase"))
        + QStringLiteral(" union all")
        + branch.arg(QStringLiteral("outmain"), QStringLiteral("outgoods"), QStringLiteral("-b.sub_amou"),
                     QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("-b.sub_amou"), only,
                     QStringLiteral("supplierreturn"))
        + QStringLiteral(" union all")
        + branch.arg(QStringLiteral("outmain"), QStringLiteral("outgoods"), QStringLiteral("0"), QStringLiteral("b.sub_amou"),
                     QStringLiteral("0"), QStringLiteral("b.sub_amou*b.unit_pric"), QStringLiteral("-b.sub_amou"), only,
                     QStringLiteral("sale"))
        + QStringLiteral(" union all")
        + branch.arg(QStringLiteral("inmain"), QStringLiteral("ingoods"), QStringLiteral("0"), QStringLiteral("0"),
                     QStringLiteral("b.sub_amou"), QStringLiteral("-b.sub_amou*b.unit_pric"),
                     QStringLiteral("case when coalesce(b.remark,'')=:notinto then 0 else b.sub_amou end"), only,
                     QStringLiteral("customerreturn"))
        + QStringLiteral(") m group by gods_code order by gods_code");
    db::Statement read(connection, sql);
    read.bind(QStringLiteral("date1"), dates.from);
    read.bind(QStringLiteral("date2"), dates.to.addDays(1));
    read.bind(QStringLiteral("purchase"), billType(BillKind::Purchase));
    read.bind(QStringLiteral("supplierreturn"), billType(BillKind::SupplierReturn));
    read.bind(QStringLiteral("sale"), billType(BillKind::Sale));
    read.bind(QStringLiteral("customerreturn"), billType(BillKind::CustomerReturn));
    read.bind(QStringLiteral("notinto"), StockPosting::notIntoStock);
    filter.bind(read);
    QHash<QString, Moves> result;
    while (read.next()) {
        Moves& m = result[read.textValue(0)];
        m.figures.received = read.doubleValue(1);
        m.figures.sold = read.doubleValue(2);
        m.figures.returned = read.doubleValue(3);
        m.figures.amount = read.doubleValue(4);
        m.movedInRange = read.doubleValue(5);
        m.movedAfter = read.doubleValue(6);
    }
    return result;
}

// Adds what counts and adjustments moved each goods' stock in the range and after
// it: a count by what it changed, on its date; an adjustment by its difference,
// at the moment it was saved.
void addSheetMoves(db::Connection& connection, const DateRange& dates, QHash<QString, Moves>& moved)
{
    db::Statement read(connection,
                       QStringLiteral("select gods_code,sum(case when chek_date<:date2 then chek_amou-gods_amou else 0 end),"
                                      "sum(case when chek_date<:date2 then 0 else chek_amou-gods_amou end) from storchek "
                                      "where chek_date>=:date1 and chek_amou<>gods_amou group by gods_code order by gods_code"));
    read.bind(QStringLiteral("date1"), dates.from);
    read.bind(QStringLiteral("date2"), dates.to.addDays(1));
    while (read.next()) {
        Moves& m = moved[read.textValue(0)];
        m.movedInRange += read.doubleValue(1);
        m.movedAfter += read.doubleValue(2);
    }
    const QDateTime end = dates.to.addDays(1).startOfDay();
    for (const StockSheet::Adjustment& adjustment : StockSheet::adjustmentsSince(connection, dates.from)) {
        Moves& m = moved[adjustment.code];
        (adjustment.time < end ? m.movedInRange : m.movedAfter) += adjustment.difference;
    }
}

struct Stock {
    double quantity = 0;
    double value = 0;
    double cost = 0;   // the goods' first stock record's moving-average cost
};

// The stock records as 库存查询 sums them: every row, the value row by row.
QHash<QString, Stock> stock(db::Connection& connection, const GoodsFilter& filter)
{
    db::Statement read(connection, QStringLiteral("select s.gods_code,s.gods_amou,s.cost_pric from storemain s "
                                                  "where trim(s.gods_code)<>''%1 order by s.gods_code")
                                       .arg(filter.condition(QStringLiteral("s.gods_code"))));
    filter.bind(read);
    QHash<QString, Stock> result;
    while (read.next()) {
        const QString code = read.textValue(0);
        const bool first = !result.contains(code);
        Stock& s = result[code];
        s.quantity += read.doubleValue(1);
        s.value += read.doubleValue(1) * read.doubleValue(2);
        if (first)
            s.cost = read.doubleValue(2);
    }
    return result;
}

// The figures of every goods that moved in the range or holds stock.
QHash<QString, Figures> goodsFigures(db::Connection& connection, const DateRange& dates, const GoodsFilter& filter,
                                     QHash<QString, Moves>* movesOut = nullptr,
                                     QHash<QString, Stock>* stockOut = nullptr)
{
    const QHash<QString, Moves> moved = moves(connection, dates, movesOut != nullptr, filter);
    const QHash<QString, Stock> held = stock(connection, filter);
    QHash<QString, Figures> result;
    for (auto it = moved.cbegin(); it != moved.cend(); ++it)
        result.insert(it.key(), it->figures);
    for (auto it = held.cbegin(); it != held.cend(); ++it) {
        Figures& f = result[it.key()];
        f.stock = it->quantity;
        f.stockValue = it->value;
    }
    for (auto it = result.begin(); it != result.end(); ++it)
        it->cost = it->kept() * held.value(it.key()).cost;
    if (movesOut)
        *movesOut = moved;
    if (stockOut)
        *stockOut = held;
    return result;
}

// The date of each goods' first purchase or last sale, over every bill.
QHash<QString, QDate> billDates(db::Connection& connection, BillKind kind, bool first)
{
    const BillStore::KindInfo& where = BillStore::info(kind);
    db::Statement read(connection, QStringLiteral("select b.gods_code,%3(a.bill_date) from %1 a inner join %2 b "
                                                  "on a.bill_no=b.bill_no where a.bill_type=:type "
                                                  "group by b.gods_code order by b.gods_code")
                                       .arg(where.headerTable, where.lineTable,
                                            first ? QStringLiteral("min") : QStringLiteral("max")));
    read.bind(QStringLiteral("type"), where.billType);
    QHash<QString, QDate> result;
    while (read.next())
        result.insert(read.textValue(0), storedDate(read, 1));
    return result;
}

template <typename Row>
QList<Row> sortedByKey(const QMap<QString, Row>& rows)
{
    return QList<Row>(rows.cbegin(), rows.cend());
}

} // namespace

QString groupingName(Grouping grouping)
{
    switch (grouping) {
    case Grouping::Style: return QStringLiteral("款号");
    case Grouping::Brand: return QStringLiteral("品牌");
    case Grouping::Category: return QStringLiteral("分类");
    case Grouping::Kind: return QStringLiteral("款式");
    case Grouping::Season: return QStringLiteral("季节");
    }
    return {};
}

std::optional<double> Figures::sellThrough() const
{
    if (!(received > 0))
        return std::nullopt;
    return kept() / received * 100.0;
}

Figures& Figures::operator+=(const Figures& other)
{
    received += other.received;
    sold += other.sold;
    returned += other.returned;
    stock += other.stock;
    stockValue += other.stockValue;
    amount += other.amount;
    cost += other.cost;
    return *this;
}

QList<StyleRow> styles(db::Connection& connection, Grouping grouping, const DateRange& dates)
{
    const QHash<QString, GoodsInfo> info = goodsInfo(connection);
    const QHash<QString, Figures> perGoods = goodsFigures(connection, dates, {});
    const QHash<QString, QDate> firstReceipts = billDates(connection, BillKind::Purchase, true);
    QHash<QString, StyleRow> rows;
    for (auto it = perGoods.cbegin(); it != perGoods.cend(); ++it) {
        const Figures& f = *it;
        if (f.received == 0 && f.sold == 0 && f.returned == 0 && f.stock == 0)
            continue;
        const QString key = keyOf(grouping, it.key(), info);
        StyleRow& row = rows[key];
        row.key = key;
        row.figures += f;
    }
    // First receipts of goods that neither moved nor hold stock still date their style.
    for (auto it = firstReceipts.cbegin(); it != firstReceipts.cend(); ++it) {
        auto row = rows.find(keyOf(grouping, it.key(), info));
        if (row != rows.end() && it->isValid() && (!row->firstReceipt.isValid() || *it < row->firstReceipt))
            row->firstReceipt = *it;
    }
    QList<StyleRow> result;
    for (StyleRow& row : rows) {
        if (row.firstReceipt.isValid())
            row.weeksOnSale = int(std::max<qint64>(0, row.firstReceipt.daysTo(dates.to)) / 7);
        result << row;
    }
    std::sort(result.begin(), result.end(), [](const StyleRow& a, const StyleRow& b) {
        const auto sa = a.figures.sellThrough();
        const auto sb = b.figures.sellThrough();
        if (sa.has_value() != sb.has_value())
            return sa.has_value();
        if (sa && *sa != *sb)
            return *sa > *sb;
        return a.key < b.key;
    });
    return result;
}

Figures StyleCells::colorTotal(int color) const
{
    Figures sum;
    for (int size = 0; size < sizes.size(); ++size)
        if (const auto f = cell(color, size))
            sum += *f;
    return sum;
}

Figures StyleCells::sizeTotal(int size) const
{
    Figures sum;
    for (int color = 0; color < colors.size(); ++color)
        if (const auto f = cell(color, size))
            sum += *f;
    return sum;
}

Figures StyleCells::total() const
{
    Figures sum;
    for (const auto& f : cells)
        if (f)
            sum += *f;
    return sum;
}

StyleCells styleCells(db::Connection& connection, const QString& style, const DateRange& dates)
{
    StyleCells result;
    result.style = style.trimmed();
    const StyleGrid grid = StyleGrid::load(connection, result.style);
    GoodsFilter filter{QStringLiteral("styl_code"), result.style};
    QList<QString> codes;
    if (grid.isEmpty()) {
        // A goods without a 款号 stands for itself: one cell of its colour and size.
        const QHash<QString, GoodsInfo> info = goodsInfo(connection);
        if (!info.contains(result.style))
            return result;
        const GoodsInfo goods = info.value(result.style);
        result.colors = {goods.color};
        result.sizes = {goods.size};
        codes = {result.style};
        filter = {QStringLiteral("gods_code"), result.style};
    } else {
        result.colors = grid.colors();
        result.sizes = grid.sizes();
        for (int color = 0; color < result.colors.size(); ++color)
            for (int size = 0; size < result.sizes.size(); ++size)
                codes << grid.code(color, size);
    }
    const QHash<QString, Figures> perGoods = goodsFigures(connection, dates, filter);
    for (const QString& code : std::as_const(codes))
        result.cells << (code.isEmpty() ? std::nullopt : std::optional<Figures>(perGoods.value(code)));
    return result;
}

QList<double> percentShares(const QList<double>& values)
{
    // Tenths of a percent: each value gets its whole tenths, the tenths left go
    // to the largest remainders, so the shares shown always add up to 100.
    double total = 0;
    for (double v : values)
        total += std::max(0.0, v);
    QList<double> result(values.size(), 0.0);
    if (!(total > 0))
        return result;
    QList<qint64> tenths(values.size());
    QList<std::pair<double, int>> remainders;
    qint64 given = 0;
    for (int i = 0; i < values.size(); ++i) {
        const double exact = std::max(0.0, values.at(i)) / total * 1000.0;
        tenths[i] = qint64(std::floor(exact));
        given += tenths[i];
        remainders.append({exact - double(tenths[i]), i});
    }
    std::stable_sort(remainders.begin(), remainders.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    for (qint64 left = 1000 - given, i = 0; left > 0 && i < remainders.size(); --left, ++i)
        ++tenths[remainders.at(int(i)).second];
    for (int i = 0; i < values.size(); ++i)
        result[i] = double(tenths.at(i)) / 10.0;
    return result;
}

QList<SizeShare> sizeShares(db::Connection& connection, Grouping grouping, const QString& value,
                            const DateRange& dates)
{
    const GoodsFilter filter = value.trimmed().isEmpty() ? GoodsFilter{} : GoodsFilter{column(grouping), value.trimmed()};
    const QHash<QString, GoodsInfo> info = goodsInfo(connection);
    const QHash<QString, Moves> moved = moves(connection, dates, false, filter);
    QHash<QString, SizeShare> bySize;
    for (auto it = moved.cbegin(); it != moved.cend(); ++it) {
        const QString size = info.value(it.key()).size;
        SizeShare& share = bySize[size];
        share.size = size;
        share.bought += it->figures.received;
        share.sold += it->figures.kept();
    }
    // Sizes in the size list's order; sizes the list lacks after it, by name.
    QStringList order;
    for (const StyleGeneration::CodeItem& item : StyleGeneration::sizeList(connection))
        order << item.name;
    QList<SizeShare> result = bySize.values();
    std::sort(result.begin(), result.end(), [&order](const SizeShare& a, const SizeShare& b) {
        const qsizetype ia = order.indexOf(a.size);
        const qsizetype ib = order.indexOf(b.size);
        if ((ia < 0) != (ib < 0))
            return ib < 0;
        return ia >= 0 && ia != ib ? ia < ib : a.size < b.size;
    });
    QList<double> bought, sold;
    for (const SizeShare& share : std::as_const(result)) {
        bought << share.bought;
        sold << share.sold;
    }
    const QList<double> boughtShares = percentShares(bought);
    const QList<double> soldShares = percentShares(sold);
    for (int i = 0; i < result.size(); ++i) {
        result[i].boughtShare = boughtShares.at(i);
        result[i].soldShare = soldShares.at(i);
    }
    return result;
}

QList<SlowMover> slowMovers(db::Connection& connection, std::optional<Grouping> grouping, int days,
                            const QDate& today)
{
    const QHash<QString, GoodsInfo> info = grouping ? goodsInfo(connection) : QHash<QString, GoodsInfo>();
    const QHash<QString, Stock> held = stock(connection, {});
    const QHash<QString, QDate> lastSales = billDates(connection, BillKind::Sale, false);
    // A group is idle only when none of its goods sold: its last sale is their latest.
    QMap<QString, SlowMover> groups;
    for (auto it = held.cbegin(); it != held.cend(); ++it) {
        const QString key = keyOf(grouping, it.key(), info);
        SlowMover& row = groups[key];
        row.key = key;
        row.stock += it->quantity;
        row.stockValue += it->value;
    }
    for (auto it = lastSales.cbegin(); it != lastSales.cend(); ++it) {
        auto row = groups.find(keyOf(grouping, it.key(), info));
        if (row != groups.end() && (!row->lastSale.isValid() || *it > row->lastSale))
            row->lastSale = *it;
    }
    // A sale on any of the `days` days up to today keeps a goods off the list.
    const QDate firstDay = today.addDays(1 - days);
    QList<SlowMover> result;
    for (SlowMover& row : groups) {
        if (!(row.stock > 0) || (row.lastSale.isValid() && row.lastSale >= firstDay))
            continue;
        if (row.lastSale.isValid())
            row.idleDays = int(row.lastSale.daysTo(today));
        result << row;
    }
    // The longest idle first; never sold before everything.
    std::stable_sort(result.begin(), result.end(), [](const SlowMover& a, const SlowMover& b) {
        if (a.idleDays.has_value() != b.idleDays.has_value())
            return !a.idleDays.has_value();
        return a.idleDays && *a.idleDays > *b.idleDays;
    });
    return result;
}

QString ageBucketName(AgeBucket bucket)
{
    switch (bucket) {
    case AgeBucket::UpTo30: return QStringLiteral("0-30天");
    case AgeBucket::UpTo90: return QStringLiteral("31-90天");
    case AgeBucket::UpTo180: return QStringLiteral("91-180天");
    case AgeBucket::Over180: return QStringLiteral("180天以上");
    case AgeBucket::Unknown: return QStringLiteral("无进货记录");
    }
    return {};
}

AgeBucket ageBucket(int days)
{
    if (days <= 30)
        return AgeBucket::UpTo30;
    if (days <= 90)
        return AgeBucket::UpTo90;
    if (days <= 180)
        return AgeBucket::UpTo180;
    return AgeBucket::Over180;
}

double AgeRow::totalQuantity() const
{
    return std::accumulate(quantity.cbegin(), quantity.cend(), 0.0);
}

double AgeRow::totalValue() const
{
    return std::accumulate(value.cbegin(), value.cend(), 0.0);
}

QList<AgeRow> stockAge(db::Connection& connection, std::optional<Grouping> grouping, const QDate& today)
{
    const QHash<QString, GoodsInfo> info = grouping ? goodsInfo(connection) : QHash<QString, GoodsInfo>();
    const QHash<QString, Stock> held = stock(connection, {});
    QHash<QString, double> uncovered;   // per goods: stock not yet laid on a purchase
    for (auto it = held.cbegin(); it != held.cend(); ++it)
        if (it->quantity > 0)
            uncovered.insert(it.key(), it->quantity);
    QMap<QString, AgeRow> rows;
    auto add = [&](const QString& code, AgeBucket bucket, double quantity) {
        const QString key = keyOf(grouping, code, info);
        AgeRow& row = rows[key];
        row.key = key;
        const Stock s = held.value(code);
        row.quantity[int(bucket)] += quantity;
        // The value at the moving-average cost, so the buckets add up to 库存查询's value.
        row.value[int(bucket)] += s.quantity != 0 ? quantity * s.value / s.quantity : 0;
    };
    // The purchases of goods in stock, newest first: the stock is what came in last.
    db::Statement read(connection, QStringLiteral("select b.gods_code,a.bill_date,b.sub_amou from inmain a "
                                                  "inner join ingoods b on a.bill_no=b.bill_no "
                                                  "where a.bill_type=:type and b.sub_amou>0 and b.gods_code in "
                                                  "(select gods_code from storemain where gods_amou>0) "
                                                  "order by b.gods_code,a.bill_date desc,b.in_id desc"));
    read.bind(QStringLiteral("type"), billType(BillKind::Purchase));
    while (read.next()) {
        auto left = uncovered.find(read.textValue(0));
        if (left == uncovered.end() || !(*left > 0))
            continue;
        const double laid = std::min(*left, read.doubleValue(2));
        *left -= laid;
        add(left.key(), ageBucket(int(std::max<qint64>(0, storedDate(read, 1).daysTo(today)))), laid);
    }
    for (auto it = uncovered.cbegin(); it != uncovered.cend(); ++it)
        if (*it > 0)
            add(it.key(), AgeBucket::Unknown, *it);
    return sortedByKey(rows);
}

double oldStockValue(db::Connection& connection, const QDate& today)
{
    double sum = 0;
    for (const AgeRow& row : stockAge(connection, std::nullopt, today))
        sum += row.value[int(AgeBucket::Over180)];
    return sum;
}

QList<TurnoverRow> turnover(db::Connection& connection, Grouping grouping, const DateRange& dates)
{
    const QHash<QString, GoodsInfo> info = goodsInfo(connection);
    QHash<QString, Moves> moved;
    QHash<QString, Stock> held;
    const QHash<QString, Figures> perGoods = goodsFigures(connection, dates, {}, &moved, &held);
    addSheetMoves(connection, dates, moved);
    QMap<QString, TurnoverRow> rows;
    for (auto it = perGoods.cbegin(); it != perGoods.cend(); ++it) {
        const Moves m = moved.value(it.key());
        const double cost = held.value(it.key()).cost;
        const double closing = it->stock - m.movedAfter;
        const double opening = closing - m.movedInRange;
        if (it->stock == 0 && closing == 0 && opening == 0 && it->kept() == 0)
            continue;
        const QString key = keyOf(grouping, it.key(), info);
        TurnoverRow& row = rows[key];
        row.key = key;
        row.costOfSales += it->cost;
        row.openingValue += opening * cost;
        row.closingValue += closing * cost;
        row.stock += it->stock;
        row.kept += it->kept();
    }
    const double days = double(dates.from.daysTo(dates.to) + 1);
    QList<TurnoverRow> result = sortedByKey(rows);
    for (TurnoverRow& row : result) {
        const double average = (row.openingValue + row.closingValue) / 2.0;
        if (average > 0)
            row.turnover = row.costOfSales / average;
        if (row.kept > 0 && days > 0)
            row.daysOfStock = row.stock / (row.kept / days);
    }
    return result;
}

} // namespace StyleAnalysis
