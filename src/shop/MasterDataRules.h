#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

// The rules of a goods', a company's and a member's own fields, asked by their windows and
// by the import alike. Window-free.
namespace MasterDataRules {

struct Refusal {
    QString field;
    QString caption;   // as the window names the field
    QString reason;    // "不能为负数"

    // "批发价“-5”不能为负数", with the value as it was typed or read.
    QString message(const QString& shown) const;
};

// The fields the rules of a table ("goods", "company", "member") look at.
const QStringList& fields(const QString& table);

// Every refusal of one row, in field order; `values` holds the row's values by
// field (a number, or null where empty), and a field it lacks is not checked.
QList<Refusal> check(const QString& table, const QHash<QString, QVariant>& values);

// A value as the refusals show it: a number without trailing zeros or exponent, text as typed.
QString numberText(const QVariant& value);

} // namespace MasterDataRules
