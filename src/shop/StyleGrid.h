#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace db {
class Connection;
}

// One style's goods as a grid of quantities: colours down, sizes across, one
// cell per goods. It maps a bill's lines (or a stock sheet's rows) onto the grid
// and back, so every window that types quantities by style shares one rule.
// Window-free.
class StyleGrid {
public:
    // A line of a bill or a row of a sheet, in the order it is shown.
    struct Line {
        QString code;
        double quantity = 0;
    };
    // What the lines need to match the grid. `line` indexes the given lines; an
    // added line has none (-1).
    struct Change {
        enum class Kind { Add, Update, Remove };
        Kind kind;
        int line;
        QString code;
        double quantity;
    };

    // The style's goods, colours and sizes in their code lists' order (values
    // missing from a list come after it). Empty when the style has no goods.
    static StyleGrid load(db::Connection& connection, const QString& style);
    // The style of the goods with this code; empty when it has none.
    static QString styleOf(db::Connection& connection, const QString& code);
    // The grid for what was typed where a style is asked for: a style, or a
    // goods code standing for its style.
    static StyleGrid loadTyped(db::Connection& connection, const QString& typed);

    bool isEmpty() const { return m_codes.isEmpty(); }
    const QString& style() const { return m_style; }
    const QStringList& colors() const { return m_colors; }
    const QStringList& sizes() const { return m_sizes; }
    // The goods of a cell; empty where that colour and size is no goods.
    QString code(int color, int size) const;
    bool contains(const QString& code) const { return m_cellOf.contains(code); }

    double quantity(int color, int size) const;
    void setQuantity(int color, int size, double quantity);
    double colorTotal(int color) const;
    double sizeTotal(int size) const;
    double total() const;

    // Shows what the lines hold for the style's goods (a goods on two lines: their sum).
    void showLines(const QList<Line>& lines);
    // Only goods on the lines stay editable (a stock sheet holds no others).
    void limitToLines(const QList<Line>& lines);
    // The stock records' quantities of the style's goods.
    void showStock(db::Connection& connection);
    // The changes that make the lines hold the grid: a changed cell updates the
    // goods' first line in place (its other lines go), a zero cell removes its
    // lines, a new cell appends a line; new lines come in colour-then-size order.
    // Lines of other goods are never touched.
    QList<Change> changes(const QList<Line>& lines) const;

private:
    int index(int color, int size) const { return color * int(m_sizes.size()) + size; }

    QString m_style;
    QStringList m_colors;
    QStringList m_sizes;
    QStringList m_codes;         // per cell, colour-major; empty: no goods
    QList<double> m_quantities;  // per cell
    QHash<QString, int> m_cellOf;
};
