#pragma once

#include "shop/TodayFigures.h"

#include <QDialog>
#include <QWidget>
#include <functional>

class QChartView;
class QGridLayout;
class QLabel;
class Worker;

// The main window's work area: today's business in cards (sales, stock alarm,
// receivables, this month's best sellers, the last backup, the stock over 180 days old, and for
// users with the members right this week's birthdays and members not seen lately) and the last 30
// days' sales. Each card reads one statement through the shop rules, on a
// thread and a connection of their own, so the window never waits for them; a
// card that cannot be read says "无法读取" and why. A click on a card opens
// its window with the same figures.
class TodayPage : public QWidget {
    Q_OBJECT
public:
    explicit TodayPage(QWidget* parent = nullptr);
    // Waits for a reading under way (it stops at its next card).
    ~TodayPage() override;

    // Starts reading every card again; the cards say "读取中…" until it is done.
    // A reading already under way is dropped and starts again, so what shows
    // is never older than the last call.
    void refresh();
    bool isReading() const;
    // The text a card shows (its title aside).
    QString cardText(const QString& name) const;

    // The chart's value axis from 0 to `top` in `steps` round steps (1, 2 or 5
    // times a power of ten), labelled with the decimals a step needs.
    struct Axis {
        double top = 0;
        int steps = 0;
        int decimals = 0;
    };
    static Axis valueAxis(double highest);

signals:
    // The cards show a finished reading.
    void refreshed();
    // A card asks for its window: the class of the catalogue and how to set it up once created.
    void openRequested(const QString& className, const std::function<void(QDialog*)>& prepare);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Card {
        QString name;
        QLabel* body = nullptr;
        QString className;                        // empty: opens nothing
        std::function<void(QDialog*)> prepare;
        int position = 0;                         // in the function list: the window's use right
    };
    QLabel* addCard(const QString& name, const QString& title, int row, int column);
    void startReading();
    void readingFinished();
    void showCard(const QString& name, TodayFigures::Part part, const std::function<QString()>& text);
    void showChart();
    Card* card(const QString& name);

    QGridLayout* m_grid;
    QList<Card> m_cards;
    QChartView* m_chart;
    QLabel* m_chartError;
    Worker* m_reader;
    TodayFigures::Page m_read;   // written by the reader's thread, read here once it has finished
    bool m_readAgain = false;
};
