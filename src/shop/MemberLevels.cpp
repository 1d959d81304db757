#include "shop/MemberLevels.h"

#include "core/DataHelpers.h"
#include "db/Error.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "shop/Amounts.h"

#include <QSet>

namespace MemberLevels {

namespace {

constexpr int nameWidth = 10;
constexpr double mostPointsAYuan = 100;

void insert(db::Connection& connection, const QList<Level>& levels)
{
    db::Statement row(connection, QStringLiteral("insert into memblevel (level_name,discount,point_rate) values (:name,:discount,:rate)"));
    for (const Level& level : levels) {
        row.reset();
        row.bind(QStringLiteral("name"), level.name.trimmed())
            .bind(QStringLiteral("discount"), level.discount)
            .bind(QStringLiteral("rate"), level.pointRate);
        row.execute();
    }
}

} // namespace

QList<Level> all(db::Connection& connection)
{
    db::Statement query(connection, QStringLiteral("select level_name,discount,point_rate from memblevel order by discount desc, level_name"));
    QList<Level> levels;
    while (query.next())
        levels.append({query.textValue(0), query.doubleValue(1), query.doubleValue(2)});
    return levels;
}

Refusal refusal(db::Connection& connection, const QList<Level>& levels)
{
    QSet<QString> seen;
    for (int row = 0; row < levels.size(); ++row) {
        const Level& level = levels.at(row);
        const QString where = QStringLiteral("会员等级第%1行：").arg(row + 1);
        const QString name = level.name.trimmed();
        if (name.isEmpty())
            return {row, where + QStringLiteral("等级名称不能为空")};
        if (name.size() > nameWidth)
            return {row, where + QStringLiteral("等级名称“%1”超过%2个字").arg(name).arg(nameWidth)};
        if (seen.contains(name.toLower()))
            return {row, where + QStringLiteral("等级名称“%1”重复").arg(name)};
        seen.insert(name.toLower());
        if (level.discount < 1 || level.discount > 100 || !shop::amounts::fits(level.discount))
            return {row, where + QStringLiteral("折扣“%1”应在1到100之间").arg(DataHelpers::amountText(level.discount))};
        if (level.pointRate < 0 || level.pointRate > mostPointsAYuan || !shop::amounts::fits(level.pointRate))
            return {row, where + QStringLiteral("每元积分“%1”应在0到%2之间")
                                     .arg(DataHelpers::amountText(level.pointRate), DataHelpers::amountText(mostPointsAYuan))};
    }
    // A level left out would leave its members without their discount.
    db::Statement held(connection, QStringLiteral("select level_name,count(*) from member where coalesce(level_name,'')<>'' "
                                                  "group by level_name order by level_name"));
    while (held.next())
        if (!seen.contains(held.textValue(0).trimmed().toLower()))
            return {-1, QStringLiteral("等级“%1”还有%2位会员，不能删除").arg(held.textValue(0)).arg(held.intValue(1))};
    return {};
}

QString pointValueRefusal(double pointValue)
{
    if (pointValue < 1 || pointValue > 10000 || !shop::amounts::fits(pointValue, 0))
        return QStringLiteral("积分抵现“%1”应为1到10000之间的整数（多少积分抵1元）").arg(DataHelpers::amountText(pointValue));
    return {};
}

void save(db::Connection& connection, const QList<Level>& levels)
{
    db::Transaction transaction(connection, db::Transaction::Write);
    if (const Refusal why = refusal(connection, levels); !why.isEmpty())
        throw db::Error(why.message);
    db::Statement clear(connection, QStringLiteral("delete from memblevel"));
    clear.execute();
    insert(connection, levels);
    transaction.commit();
}

} // namespace MemberLevels
