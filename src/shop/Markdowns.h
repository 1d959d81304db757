#pragma once

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

namespace db {
class Connection;
}

// Markdowns at a sale: the rules in force on a day for a goods and the price
// each gives; the lowest price wins. Window-free.
namespace Markdowns {

// What a rule covers (`markdown.scope`), matched against the goods' 款号, 品牌 or 分类.
inline const QString byStyle = QStringLiteral("款号");
inline const QString byBrand = QStringLiteral("品牌");
inline const QString byKind = QStringLiteral("分类");
inline const QString everything = QStringLiteral("全部");

struct Rule {
    QString name;
    double discount = 0;     // percent of the retail price; used when there is no fixed price
    double fixedPrice = 0;   // the price itself when above 0
};

struct Offer {
    QString rule;
    double price = 0;
    bool operator==(const Offer&) const = default;
};

// The price the rule gives for a retail price, to the cent.
double priceBy(const Rule& rule, double retailPrice);

// The lowest price among the rules; on a tie the earlier rule in the list
// stays. A rule that would raise the price, or give none, is left out.
std::optional<Offer> lowest(const QList<Rule>& rules, double retailPrice);

// The rules covering the goods (by its own code) on `day`, first and last day
// included, in the order they were entered.
QList<Rule> inForce(db::Connection& connection, const QString& goodsCode, const QDate& day);

// The markdown pricing the goods on `day`, if any.
std::optional<Offer> best(db::Connection& connection, const QString& goodsCode, double retailPrice, const QDate& day);

} // namespace Markdowns
