#pragma once

#include <QStringList>
#include <QTableWidget>

// The tick grid of the rights window: rows 1 to Function::Count are the functions of the
// function list, columns 1 to 7 the kinds of right; a cell holds "√" or nothing.
// Rows and columns are counted from 1, as the labels and titles occupy row and column 0.
class RightsGrid : public QTableWidget {
    Q_OBJECT
public:
    static constexpr int columns = 7;
    static constexpr int labelWidth = 130;
    static constexpr int tickWidth = 56;
    static const QString tick;

    explicit RightsGrid(QWidget* parent = nullptr);

    QString cell(int column, int row) const;
    void setCell(int column, int row, const QString& text);
    // Clears a cell that holds anything, ticks an empty one.
    void toggle(int column, int row);
    void setColumnTicked(int column, bool ticked);
    void clearTicks();
    void writeLabels();

    // "1" for a cell that holds exactly the tick, "0" otherwise, rows 1 to Function::Count in order.
    QString rightsString(int column) const;
    // A missing, empty or short string leaves the rest of its column clear.
    void showRights(int column, const QString& rights);

    // Whether a click, Space or Enter on a cell changes it.
    void setTicking(bool ticking) { m_ticking = ticking; }
    bool isTicking() const { return m_ticking; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QTableWidgetItem* itemAt(int column, int row) const;
    bool m_ticking = false;
    bool m_toggledByEnter = false;   // the Tab that follows the Enter must not move on
};
