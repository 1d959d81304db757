#include "shop/StyleGeneration.h"

#include "db/Schema.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "shop/OperationLog.h"

#include <QSet>
#include <stdexcept>

namespace StyleGeneration {

namespace {

QList<CodeItem> codeList(db::Connection& connection, const QString& column)
{
    db::Statement list(connection, QStringLiteral("select %1_id,%1 from baseitem where %1 is not null "
                                                  "order by %1_id,%1")
                                       .arg(column));
    QList<CodeItem> items;
    QSet<QString> seen;
    while (list.next()) {
        const CodeItem item{list.textValue(0).trimmed(), list.textValue(1).trimmed()};
        if (item.name.isEmpty() || seen.contains(item.name))
            continue;
        seen.insert(item.name);
        items << item;
    }
    return items;
}

// A list entry without a code of its own stands in the goods code by its name.
QString codePart(const CodeItem& item)
{
    return item.code.isEmpty() ? item.name : item.code;
}

int width(const char* column)
{
    const db::Column* c = db::Schema::column(QStringLiteral("goods"), QString::fromLatin1(column));
    return c ? c->size : 0;
}

} // namespace

QList<CodeItem> colorList(db::Connection& connection)
{
    return codeList(connection, QStringLiteral("gods_color"));
}

QList<CodeItem> sizeList(db::Connection& connection)
{
    return codeList(connection, QStringLiteral("gods_size"));
}

QList<Planned> plan(db::Connection& connection, const Request& request)
{
    const QString style = request.style.trimmed();
    const QString stem = request.stem.trimmed();
    db::Statement taken(connection, QStringLiteral("select 1 from goods where gods_code=:code limit 1"));
    QSet<QString> inRun;
    QList<Planned> result;
    for (const CodeItem& color : request.colors)
        for (const CodeItem& size : request.sizes) {
            Planned p;
            p.code = QString(request.pattern)
                         .replace(QStringLiteral("{款号}"), style)
                         .replace(QStringLiteral("{颜色}"), codePart(color))
                         .replace(QStringLiteral("{尺码}"), codePart(size))
                         .trimmed();
            // The automatic name's parts, spaced so the stem stays readable.
            p.name = QStringList{stem, color.name, size.name}.join(QLatin1Char(' ')).trimmed();
            p.color = color.name;
            p.size = size.name;
            taken.bind(QStringLiteral("code"), p.code);
            p.exists = taken.next() || inRun.contains(p.code.toLower());
            taken.reset();
            inRun.insert(p.code.toLower());
            result << p;
        }
    return result;
}

QString refusal(const Request& request, const QList<Planned>& planned)
{
    if (request.style.trimmed().isEmpty())
        return QStringLiteral("请输入款号");
    if (request.style.trimmed().size() > width("styl_code"))
        return QStringLiteral("款号“%1”超过%2个字符").arg(request.style.trimmed()).arg(width("styl_code"));
    if (request.colors.isEmpty())
        return QStringLiteral("请至少选择一种颜色");
    if (request.sizes.isEmpty())
        return QStringLiteral("请至少选择一个尺码");
    if (!request.pattern.contains(QStringLiteral("{颜色}")) || !request.pattern.contains(QStringLiteral("{尺码}")))
        return QStringLiteral("编码规则“%1”必须含有{颜色}和{尺码}").arg(request.pattern);
    for (const Planned& p : planned) {
        if (p.code.size() > width("gods_code"))
            return QStringLiteral("货品编码“%1”超过%2个字符").arg(p.code).arg(width("gods_code"));
        if (p.name.size() > width("gods_name"))
            return QStringLiteral("货品名称“%1”超过%2个字符").arg(p.name).arg(width("gods_name"));
    }
    return {};
}

int generate(db::Connection& connection, const Request& request)
{
    db::Transaction transaction(connection, db::Transaction::Write);
    // Planned inside the write lock: a code taken meanwhile is skipped, not doubled.
    const QList<Planned> planned = plan(connection, request);
    if (const QString why = refusal(request, planned); !why.isEmpty())
        throw std::invalid_argument(why.toStdString());
    db::Statement insert(connection, QStringLiteral(
        "insert into goods (gods_code,gods_name,gods_spec,gods_type,gods_color,gods_size,gods_kind,gods_unit,"
        "valu_in,valu_out,styl_code) values (:code,:name,:brand,:type,:color,:size,:kind,:unit,:pin,:pout,:style)"));
    QStringList written;
    for (const Planned& p : planned) {
        if (p.exists)
            continue;
        insert.bind(QStringLiteral("code"), p.code)
            .bind(QStringLiteral("name"), p.name)
            .bind(QStringLiteral("brand"), request.brand.trimmed())
            .bind(QStringLiteral("type"), request.type.trimmed())
            .bind(QStringLiteral("color"), p.color)
            .bind(QStringLiteral("size"), p.size)
            .bind(QStringLiteral("kind"), request.kind.trimmed())
            .bind(QStringLiteral("unit"), request.unit.trimmed())
            .bind(QStringLiteral("pin"), request.purchasePrice)
            .bind(QStringLiteral("pout"), request.salePrice)
            .bind(QStringLiteral("style"), request.style.trimmed());
        insert.execute();
        insert.reset();
        written << p.code;
    }
    if (!written.isEmpty()) {
        QString detail = written.join(QLatin1Char('\n'));
        const int room = 4000;
        if (detail.size() > room)
            detail = detail.left(room - 1) + QChar(0x2026);
        OperationLog::write(connection, {QStringLiteral("货品资料"), OperationLog::added, request.style.trimmed(),
                                         QStringLiteral("按款式生成 %1 种货品").arg(written.size()), detail});
    }
    transaction.commit();
    return int(written.size());
}

} // namespace StyleGeneration
