#include "shop/StyleGrid.h"

#include "db/Statement.h"
#include "shop/StyleGeneration.h"

#include <QSet>
#include <algorithm>

namespace {

// The names of a code list in its order.
QStringList names(const QList<StyleGeneration::CodeItem>& items)
{
    QStringList result;
    for (const StyleGeneration::CodeItem& item : items)
        result << item.name;
    return result;
}

// The values in the code list's order; values the list lacks follow in their own order.
QStringList ordered(QStringList values, const QStringList& list)
{
    std::sort(values.begin(), values.end(), [&list](const QString& a, const QString& b) {
        const qsizetype ia = list.indexOf(a);
        const qsizetype ib = list.indexOf(b);
        if ((ia < 0) != (ib < 0))
            return ib < 0;
        return ia >= 0 ? ia < ib : a < b;
    });
    return values;
}

} // namespace

StyleGrid StyleGrid::load(db::Connection& connection, const QString& style)
{
    StyleGrid grid;
    grid.m_style = style.trimmed();
    if (grid.m_style.isEmpty())
        return grid;
    struct Goods {
        QString code, color, size;
    };
    QList<Goods> goods;
    QStringList colors;
    QStringList sizes;
    db::Statement read(connection, QStringLiteral("select gods_code,gods_color,gods_size from goods "
                                                  "where styl_code=:style order by gods_code"));
    read.bind(QStringLiteral("style"), grid.m_style);
    while (read.next()) {
        const Goods g{read.textValue(0), read.textValue(1).trimmed(), read.textValue(2).trimmed()};
        if (g.code.trimmed().isEmpty())
            continue;
        goods << g;
        if (!colors.contains(g.color))
            colors << g.color;
        if (!sizes.contains(g.size))
            sizes << g.size;
    }
    if (goods.isEmpty())
        return grid;
    grid.m_colors = ordered(colors, names(StyleGeneration::colorList(connection)));
    grid.m_sizes = ordered(sizes, names(StyleGeneration::sizeList(connection)));
    const qsizetype cells = grid.m_colors.size() * grid.m_sizes.size();
    grid.m_codes = QStringList(cells);
    grid.m_quantities = QList<double>(cells, 0.0);
    for (const Goods& g : std::as_const(goods)) {
        const int cell = grid.index(int(grid.m_colors.indexOf(g.color)), int(grid.m_sizes.indexOf(g.size)));
        // Two goods of one colour and size: the first by code takes the cell.
        if (!grid.m_codes.at(cell).isEmpty())
            continue;
        grid.m_codes[cell] = g.code;
        grid.m_cellOf.insert(g.code, cell);
    }
    return grid;
}

QString StyleGrid::styleOf(db::Connection& connection, const QString& code)
{
    db::Statement read(connection, QStringLiteral("select styl_code from goods where gods_code=:code limit 1"));
    read.bind(QStringLiteral("code"), code.trimmed());
    return read.next() ? read.textValue(0).trimmed() : QString();
}

StyleGrid StyleGrid::loadTyped(db::Connection& connection, const QString& typed)
{
    StyleGrid grid = load(connection, typed);
    if (grid.isEmpty())
        if (const QString style = styleOf(connection, typed); !style.isEmpty())
            grid = load(connection, style);
    return grid;
}

void StyleGrid::limitToLines(const QList<Line>& lines)
{
    QSet<QString> onLines;
    for (const Line& line : lines)
        onLines.insert(line.code.trimmed());
    for (auto it = m_cellOf.begin(); it != m_cellOf.end();) {
        if (onLines.contains(it.key())) {
            ++it;
            continue;
        }
        m_codes[it.value()].clear();
        m_quantities[it.value()] = 0;
        it = m_cellOf.erase(it);
    }
}

QString StyleGrid::code(int color, int size) const
{
    return m_codes.value(index(color, size));
}

double StyleGrid::quantity(int color, int size) const
{
    return m_quantities.value(index(color, size));
}

void StyleGrid::setQuantity(int color, int size, double quantity)
{
    const int cell = index(color, size);
    if (cell >= 0 && cell < m_quantities.size() && !m_codes.at(cell).isEmpty())
        m_quantities[cell] = quantity;
}

double StyleGrid::colorTotal(int color) const
{
    double sum = 0;
    for (int size = 0; size < m_sizes.size(); ++size)
        sum += quantity(color, size);
    return sum;
}

double StyleGrid::sizeTotal(int size) const
{
    double sum = 0;
    for (int color = 0; color < m_colors.size(); ++color)
        sum += quantity(color, size);
    return sum;
}

double StyleGrid::total() const
{
    double sum = 0;
    for (double q : m_quantities)
        sum += q;
    return sum;
}

void StyleGrid::showLines(const QList<Line>& lines)
{
    std::fill(m_quantities.begin(), m_quantities.end(), 0.0);
    for (const Line& line : lines)
        if (const auto cell = m_cellOf.constFind(line.code.trimmed()); cell != m_cellOf.cend())
            m_quantities[*cell] += line.quantity;
}

void StyleGrid::showStock(db::Connection& connection)
{
    QList<Line> stock;
    db::Statement read(connection, QStringLiteral("select a.gods_code,a.gods_amou from storemain a "
                                                  "join goods b on b.gods_code=a.gods_code "
                                                  "where b.styl_code=:style order by a.gods_code"));
    read.bind(QStringLiteral("style"), m_style);
    while (read.next())
        stock.append({read.textValue(0), read.doubleValue(1)});
    showLines(stock);
}

QList<StyleGrid::Change> StyleGrid::changes(const QList<Line>& lines) const
{
    QList<Change> result;
    QSet<int> onLines;
    QHash<int, double> held;
    for (const Line& line : lines)
        if (const auto cell = m_cellOf.constFind(line.code.trimmed()); cell != m_cellOf.cend())
            held[*cell] += line.quantity;
    for (int i = 0; i < lines.size(); ++i) {
        const auto cell = m_cellOf.constFind(lines.at(i).code.trimmed());
        if (cell == m_cellOf.cend())
            continue;
        const bool first = !onLines.contains(*cell);
        onLines.insert(*cell);
        const double wanted = m_quantities.at(*cell);
        if (wanted == held.value(*cell))
            continue;   // an unchanged cell leaves its lines as they are
        // A goods typed on two lines: its first line takes the cell, the others go.
        if (first && wanted != 0) {
            if (wanted != lines.at(i).quantity)
                result.append({Change::Kind::Update, i, lines.at(i).code, wanted});
        } else {
            result.append({Change::Kind::Remove, i, lines.at(i).code, 0});
        }
    }
    for (int cell = 0; cell < m_codes.size(); ++cell)
        if (!m_codes.at(cell).isEmpty() && m_quantities.at(cell) != 0 && !onLines.contains(cell))
            result.append({Change::Kind::Add, -1, m_codes.at(cell), m_quantities.at(cell)});
    return result;
}
