#pragma once

#include "shop/LinePricing.h"
#include "shop/MemberPoints.h"
#include "shop/Receipt.h"
#include "shop/SaveIdentity.h"
#include "shop/TillSale.h"
#include "shop/TillShift.h"

#include <QDialog>

#include <functional>
#include <optional>

class QLabel;
class QTableWidget;

namespace ui {
class ScanBar;
}

// "零售收银": the counter's till. Scans add pieces, F-keys change the current
// line or the sale, the pay dialog takes the money, and the sale is stored
// through TillSale before its receipt goes to the printer. Keyboard only.
class TFrmTill : public QDialog {
    Q_OBJECT
public:
    explicit TFrmTill(QWidget* parent = nullptr);

    // Where receipts go: returns why one did not print, empty when it did.
    using PrintReceipt = std::function<QString(const shop::Receipt&)>;
    static void setReceiptPrinter(PrintReceipt printer);
    // Where a closed shift's 交班单 goes, likewise.
    using PrintShift = std::function<QString(const TillShift::Report&)>;
    static void setShiftPrinter(PrintShift printer);

    ui::ScanBar* scanBar() const { return m_scan; }
    QTableWidget* linesGrid() const { return m_grid; }
    const QList<TillSale::Line>& lines() const { return m_lines; }
    int suspendedCount() const { return int(m_suspended.size()); }
    qint64 shiftId() const { return m_shift; }
    QString lastReceipt() const { return m_lastReceipt; }
    const std::optional<MemberPoints::Member>& member() const { return m_member; }

    // The keys, as the cashier presses them.
    void addScanned(const QString& code);
    void changeQuantity();       // F3
    void discountLine();         // F4: a percentage of the retail price
    void changePrice();          // F11: a new price
    void discountSale();         // F5
    void removeLine();           // Delete
    void suspend();              // F6 挂单
    void resume();               // F7 取单
    void pay();                  // F12, or Enter on an empty scan box
    void returnGoods();          // F8 退货
    void reprint();              // F9 重打小票
    void closeShift();           // F10 交班
    void chooseMember();         // Insert 会员: the card or phone in the scan box, or the next one scanned

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildKeys();
    bool startShift();
    void refresh();
    void setLinePrice(int row, double price);
    // The member of a card scanned or a phone typed; an empty one leaves the sale to a walk-in customer.
    void takeMember(const QString& typed);
    void setMember(const std::optional<MemberPoints::Member>& member);
    // What the markdowns and the member's level make of the line's price.
    LinePricing::Priced rulePrice(const TillSale::Line& line) const;
    // Lines not priced by hand follow the rules again (the member changed).
    void priceByRules();
    int currentRow() const;
    void print(const shop::Receipt& receipt);
    void tell(const QString& text, bool fault = false);
    // The focus back in the scan box after a dialog.
    void backToScanning();

    ui::ScanBar* m_scan;
    QTableWidget* m_grid;
    QLabel* m_total;
    QLabel* m_pieces;
    QLabel* m_customer;
    QLabel* m_shiftLabel;
    QList<TillSale::Line> m_lines;
    std::optional<MemberPoints::Member> m_member;
    bool m_awaitingMember = false;   // the next scan names the member
    struct Waiting {
        QList<TillSale::Line> lines;
        std::optional<MemberPoints::Member> member;
    };
    QList<Waiting> m_suspended;
    qint64 m_shift = 0;
    bool m_shiftAsked = false;
    QString m_lastReceipt;
    SaveIdentity::Attempt<TillSale::Sale> m_attempt;
};
