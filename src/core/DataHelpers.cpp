#include "core/Clock.h"
#include "core/DataHelpers.h"

#include "core/TFrmDataMod.h"
#include "db/Field.h"
#include "db/Statement.h"

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
    // A statement of its own: TempQ may be what the caller is walking.
    db::Statement query(dataModule().AdoConn,
                        QStringLiteral("select %2 from %3 where %1=:key and %2 is not null order by %2 limit 1")
                            .arg(keyColumn.trimmed(), resultColumn.trimmed(), table.trimmed()));
    query.bind(QStringLiteral("key"), keyValue.trimmed());
    if (!query.next())
        return {};
    const QVariant value = query.value(0);
    return value.typeId() == QMetaType::Double ? db::formatNumber(value.toDouble(), {}) : value.toString();
}

QString timeStamp()
{
    return Clock::now().toString(timeStampFormat);
}

QString capitalAmount(double amount)
{
    static const QString numerals = QStringLiteral("零壹贰叁肆伍陆柒捌玖");
    static const QString places = QStringLiteral(" 拾佰仟");   // within a group of four digits
    static const QString groups = QStringLiteral(" 万亿");
    // Whole fen, rounded half away from zero; never a binary fraction's "28.999…".
    const qint64 fen = std::llround(std::fabs(amount) * 100.0 + 1e-9);
    const QString whole = QString::number(fen / 100);
    if (whole.size() > 4 * groups.size())
        return {};
    const int jiao = fen / 10 % 10;
    const int cent = fen % 10;
    QString result;
    if (fen >= 100) {
        // A run of zeros inside the number reads as one 零; zeros at a group's end are not read.
        bool zero = false;
        bool groupRead = false;
        for (int i = 0; i < whole.size(); ++i) {
            const int position = whole.size() - 1 - i;
            const int digit = whole.at(i).digitValue();
            if (digit == 0) {
                zero = true;
            } else {
                if (zero)
                    result += numerals.at(0);
                zero = false;
                groupRead = true;
                result += numerals.at(digit);
                if (position % 4 != 0)
                    result += places.at(position % 4);
            }
            if (position % 4 == 0 && position > 0 && groupRead) {
                result += groups.at(position / 4);
                groupRead = false;
            }
        }
        result += QStringLiteral("圆");
    }
    if (jiao > 0)
        result += numerals.at(jiao) + QStringLiteral("角");
    else if (cent > 0 && !result.isEmpty())
        result += numerals.at(0);
    if (cent > 0)
        result += numerals.at(cent) + QStringLiteral("分");
    else if (result.isEmpty())
        result = QStringLiteral("零圆整");
    else
        result += QStringLiteral("整");
    if (amount < 0 && fen > 0)
        result.prepend(QStringLiteral("负"));
    return result;
}

void adjustComboBoxes(QWidget*)
{
}

QString amountText(double value)
{
    return db::formatNumber(value, amountFormat);
}

QString containingPattern(const QString& typed)
{
    QString escaped = typed.toLower();
    escaped.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    escaped.replace(QLatin1Char('%'), QStringLiteral("\\%"));
    escaped.replace(QLatin1Char('_'), QStringLiteral("\\_"));
    return QLatin1Char('%') + escaped + QLatin1Char('%');
}

} // namespace DataHelpers
