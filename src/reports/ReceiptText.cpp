#include "reports/ReceiptText.h"

#include "shop/Amounts.h"

#include <QLocale>

namespace ReceiptText {

namespace {

// Control characters in a name would reach the printer as commands.
QString printable(const QString& text)
{
    QString out = text;
    for (QChar& c : out)
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    return out.simplified();
}

int charWidth(char32_t c)
{
    return c < 0x80 ? 1 : 2;
}

Line ruleLine(int columns)
{
    Line line;
    line.text = QString(columns, QLatin1Char('-'));
    line.rule = true;
    return line;
}

// Lines fitting the roll, added as a receipt lays them out.
class Builder {
public:
    explicit Builder(int columns) : m_columns(columns) {}

    void centred(const QString& text, Style style = Style::Normal)
    {
        if (text.isEmpty())
            return;
        for (const QString& piece : wrap(text, m_columns))
            m_lines.append({piece, {}, true, style});
    }
    void left(const QString& text)
    {
        for (const QString& piece : wrap(text, m_columns))
            m_lines.append({piece, {}, false, Style::Normal});
    }
    // A caption and an amount on one line, or the amount on a line of its own when both do not fit.
    void pair(const QString& caption, const QString& amount, Style style = Style::Normal)
    {
        if (displayWidth(caption) + 1 + displayWidth(amount) <= m_columns) {
            m_lines.append({caption, amount, false, style});
            return;
        }
        for (const QString& piece : wrap(caption, m_columns))
            m_lines.append({piece, {}, false, style});
        m_lines.append({{}, amount, false, style});
    }
    void rule() { m_lines.append(ruleLine(m_columns)); }
    QList<Line> lines() const { return m_lines; }

private:
    int m_columns;
    QList<Line> m_lines;
};

QString timeText(const QDateTime& when)
{
    return when.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

} // namespace

int displayWidth(const QString& text)
{
    int width = 0;
    for (char32_t c : text.toUcs4())
        width += charWidth(c);
    return width;
}

QStringList wrap(const QString& text, int columns)
{
    QStringList pieces;
    QString current;
    int width = 0;
    for (char32_t c : text.toUcs4()) {
        const QString ch = QString::fromUcs4(&c, 1);
        const int w = charWidth(c);
        if (width + w > columns && !current.isEmpty()) {
            // A Latin word moves whole to the next line when a space before it leaves room.
            const qsizetype space = current.lastIndexOf(QLatin1Char(' '));
            if (c < 0x80 && c != U' ' && space > 0 && current.back().unicode() < 0x80) {
                pieces << current.left(space);
                current = current.mid(space + 1);
            } else {
                pieces << current;
                current.clear();
            }
            width = displayWidth(current);
            if (c == U' ' && current.isEmpty())
                continue;
        }
        current += ch;
        width += w;
    }
    if (!current.trimmed().isEmpty() || pieces.isEmpty())
        pieces << current;
    for (QString& p : pieces)
        p = p.trimmed();
    return pieces;
}

QString money(double amount)
{
    return QLocale::c().toString(shop::amounts::cents(amount), 'f', 2);
}

QString quantity(double value)
{
    QString text = QLocale::c().toString(value, 'f', 2);
    while (text.contains(QLatin1Char('.')) && (text.endsWith(QLatin1Char('0')) || text.endsWith(QLatin1Char('.'))))
        text.chop(1);
    return text;
}


QList<Line> lines(const shop::Receipt& receipt, int columns)
{
    Builder out(columns);
    out.centred(printable(receipt.shopName), Style::Bold);
    out.centred(printable(receipt.shopAddress));
    if (!receipt.shopPhone.trimmed().isEmpty())
        out.centred(QStringLiteral("电话：") + printable(receipt.shopPhone));
    if (receipt.isReturn)
        out.centred(QStringLiteral("退货小票"), Style::Bold);
    out.rule();
    out.left(QStringLiteral("单号：") + printable(receipt.number));
    out.left(QStringLiteral("日期：") + timeText(receipt.when));
    out.left(QStringLiteral("收银：") + printable(receipt.cashier));
    out.rule();

    double pieces = 0;
    for (const shop::Receipt::Line& l : receipt.lines) {
        out.left(printable(l.name));
        out.pair(QStringLiteral("  %1 × %2").arg(quantity(l.quantity), money(l.price)), money(l.amount));
        pieces += l.quantity;
    }
    out.rule();
    out.pair(QStringLiteral("件数"), quantity(pieces));
    if (receipt.discount > 0)
        out.pair(QStringLiteral("折扣"), QLatin1Char('-') + money(receipt.discount));
    out.pair(receipt.isReturn ? QStringLiteral("退款合计") : QStringLiteral("合计"), money(receipt.total), Style::Large);
    for (const shop::Receipt::Payment& p : receipt.payments)
        out.pair((receipt.isReturn ? QStringLiteral("退") : QString()) + printable(p.method), money(p.amount));
    if (receipt.change > 0)
        out.pair(QStringLiteral("找零"), money(receipt.change));
    out.rule();
    return out.lines();
}

Slip slip(const shop::Receipt& receipt, int columns)
{
    return {receipt.isReturn ? QStringLiteral("退货小票") : QStringLiteral("小票"), lines(receipt, columns), receipt.number,
            receipt.cashTaken};
}

Slip slip(const TillShift::Report& report, int columns)
{
    const TillShift::Shift& shift = report.shift;
    const TillShift::Takings& takings = report.takings;
    Builder out(columns);
    out.centred(printable(report.shopName), Style::Bold);
    out.centred(QStringLiteral("交班单"), Style::Bold);
    out.rule();
    out.left(QStringLiteral("收银：") + printable(shift.cashier));
    out.left(QStringLiteral("开班：") + timeText(shift.opened));
    out.left(QStringLiteral("交班：") + (shift.closed.isValid() ? timeText(shift.closed) : QStringLiteral("未交班")));
    out.rule();
    out.pair(QStringLiteral("销售单数"), QString::number(takings.sales));
    out.pair(QStringLiteral("退货单数"), QString::number(takings.returns));
    for (const auto& [method, amount] : takings.byMethod)
        out.pair(printable(method), money(amount));
    out.pair(QStringLiteral("收款合计"), money(takings.total()), Style::Bold);
    out.rule();
    out.pair(QStringLiteral("备用金"), money(shift.openingFloat));
    out.pair(QStringLiteral("现金收入"), money(takings.cashIn));
    out.pair(QStringLiteral("现金退款"), money(takings.cashRefunded));
    out.pair(QStringLiteral("应有现金"), money(shift.expected));
    out.pair(QStringLiteral("清点现金"), money(shift.counted));
    const double difference = shop::amounts::cents(shift.difference);
    out.pair(difference == 0 ? QStringLiteral("现金相符") : difference > 0 ? QStringLiteral("长款") : QStringLiteral("短款"),
             money(qAbs(difference)), Style::Large);
    out.rule();
    return {QStringLiteral("交班单"), out.lines(), {}, false};
}

QString padded(const Line& line, int columns)
{
    const int used = displayWidth(line.text) + displayWidth(line.right);
    const int spare = qMax(0, columns - used);
    if (line.centred) {
        const int before = spare / 2;
        return QString(before, QLatin1Char(' ')) + line.text + QString(spare - before, QLatin1Char(' '));
    }
    return line.text + QString(spare, QLatin1Char(' ')) + line.right;
}

} // namespace ReceiptText
