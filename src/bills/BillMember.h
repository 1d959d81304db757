#pragma once

#include "shop/LinePricing.h"

#include <QDate>
#include <QObject>

class QLabel;
class QLineEdit;
class QWidget;

namespace db {
class Dataset;
}

// The member of a sale or customer return: a card scanned or a phone number
// typed into the 会员 box, Enter finds the member (a choice when several phones
// fit), shows the name, level and points, and keeps the card in the header's
// card_no, by which the save moves the member's points. Enter on an empty box
// leaves the bill without a member.
class BillMember : public QObject {
    Q_OBJECT
public:
    BillMember(db::Dataset* header, QWidget* parent);

    QLineEdit* box() const { return m_box; }
    QLabel* label() const { return m_label; }
    QString cardNo() const;
    // The box and label as the header's card stands (a bill opened or added).
    void showHeader();
    // The price of a new line of the goods on the bill's date.
    LinePricing::Priced price(const QString& goodsCode, const QDate& day) const;

    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    // Enter found the member, or left the box empty: the walk goes on.
    void taken();
    // The bill's card is no longer `before` (empty when it had none).
    void changed(const QString& before);

private:
    // False when nobody was found or chosen: the focus stays in the box.
    bool take();
    void show(const QString& text);

    db::Dataset* m_header;
    QLineEdit* m_box;
    QLabel* m_label;
};
