#include "core/Clock.h"
#include "core/DataHelpers.h"

#include "core/TFrmDataMod.h"
#include "db/Field.h"

#include <QComboBox>
#include <QDateTime>
#include <QSignalBlocker>
#include <cmath>

namespace DataHelpers {

namespace {

// Opens TempQ on the distinct values of one column and calls `add` for each non-blank one.
template <typename Add>
void eachDistinctValue(const QString& table, const QString& column, Add add)
{
    db::Dataset* q = dataModule().TempQ;
    q->close();
    q->setSql(QStringLiteral("select distinct %1 from %2").arg(column.trimmed(), table.trimmed()));
    q->open();
    // Rows are read by position, so the current row (and any bound control) never moves.
    for (int row = 0; row < q->recordCount(); ++row) {
        const QVariant v = q->value(row, 0);
        if (v.isNull())
            continue;
        const QString text = v.toString();
        if (!text.trimmed().isEmpty())
            add(text);
    }
}

} // namespace

void fillCombo(const QString& table, const QString& column, QComboBox* box)
{
    QStringList items;
    eachDistinctValue(table, column, [&items](const QString& text) { items << text; });
    const QSignalBlocker blocker(box);
    box->clear();
    box->addItems(items);
    box->setCurrentIndex(-1);
    if (box->isEditable())
        box->setEditText(QString());
}

void mergeCombo(const QString& table, const QString& column, QComboBox* box)
{
    QStringList existing;
    for (int i = 0; i < box->count(); ++i)
        existing << box->itemText(i);
    QStringList added;
    eachDistinctValue(table, column, [&](const QString& text) {
        const QString trimmed = text.trimmed();
        if (!existing.contains(trimmed) && !added.contains(text)) {
            added << text;
            existing << text;
        }
    });
    const QSignalBlocker blocker(box);
    const QString current = box->currentText();
    box->addItems(added);
    if (box->isEditable())
        box->setEditText(current);
}

QString lookup(const QString& table, const QString& keyColumn, const QString& keyValue, const QString& resultColumn)
{
    try {
        db::Dataset* q = dataModule().TempQ;
        q->close();
        q->setSql(QStringLiteral("select distinct %1,%2 from %3 where %1=:key")
                      .arg(keyColumn.trimmed(), resultColumn.trimmed(), table.trimmed()));
        q->setParameter(QStringLiteral("key"), keyValue.trimmed());
        q->open();
        if (q->isEmpty())
            return {};
        return q->value(0, 1).isNull() ? QString() : q->text(q->field(1).name);
    } catch (...) {
        return {};
    }
}

QString timeStamp()
{
    return Clock::now().toString(timeStampFormat);
}

QString capitalAmount(double amount)
{
    static const QString numerals = QStringLiteral("零壹贰叁肆伍陆柒捌玖");
    static const QString units = QStringLiteral("分角圆拾佰仟万拾佰仟亿");   // index: n - i + 1
    // Whole fen, rounded half away from zero; never a binary fraction's "28.999…".
    const QString digits = QString::number(std::llround(std::fabs(amount) * 100.0 + 1e-9));
    const int n = digits.size() - 1;
    if (n >= 10)
        return {};
    QString result;
    for (int i = 1; i <= digits.size(); ++i) {
        result += numerals.at(digits.at(i - 1).digitValue());
        result += units.at(n - i + 1);
    }
    if (amount < 0 && digits != QLatin1String("0"))
        result.prepend(QStringLiteral("负"));
    return result + QStringLiteral("整");
}

void adjustComboBoxes(QWidget*)
{
}

QString amountText(double value)
{
    return db::formatNumber(value, amountFormat);
}

} // namespace DataHelpers
