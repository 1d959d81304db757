#pragma once

#include <QDialog>
#include <QWidget>
#include <functional>

class QChartView;
class QGridLayout;
class QLabel;

namespace db {
class Connection;
}

// The main window's work area: today's business in cards (sales, stock alarm,
// receivables, this month's best sellers, the last backup) and the last 30
// days' sales. Each card reads one statement through the shop rules; a card
// that cannot be read says "无法读取" and why. A click on a card opens its
// window with the same figures.
class TodayPage : public QWidget {
    Q_OBJECT
public:
    explicit TodayPage(QWidget* parent = nullptr);

    // Reads every card again from the database.
    void refresh();
    // The text a card shows (its title aside), as read by the last refresh.
    QString cardText(const QString& name) const;

signals:
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
    void setCardText(const QString& name, const std::function<QString(db::Connection&)>& read);
    void refreshChart(db::Connection& connection);
    Card* card(const QString& name);

    QGridLayout* m_grid;
    QList<Card> m_cards;
    QChartView* m_chart;
    QLabel* m_chartError;
};
