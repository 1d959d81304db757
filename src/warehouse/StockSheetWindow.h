#pragma once

#include "ui/ModeWindow.h"
#include "shop/SaveIdentity.h"
#include "shop/StockSheet.h"
#include "warehouse/EnteredGoods.h"

class QGridLayout;
class QLineEdit;
class QPushButton;
class ReportLayout;

namespace db {
class Dataset;
}
namespace ui {
class DbGrid;
}

// The windows that type quantities over the stock sheet held by ChektempQ: the
// stock adjustment and the stock count. They share the tool bar, the grid,
// positioning by code, the rule asked of each typed row, cancelling, printing
// and the checked save.
class StockSheetWindow : public ui::ModeWindow {
    Q_OBJECT
public:
    QPushButton* cmd_find;
    QPushButton* cmd_edit;
    QPushButton* cmd_save;
    QPushButton* cmd_canc;
    QPushButton* cmd_prin;
    QPushButton* cmd_exit;
    QLineEdit* codeEdit;
    QLineEdit* stockTotalEdit;
    ui::DbGrid* sheetGrid;
    QPushButton* styleButton;   // the size and colour grid (F7)

public slots:
    virtual void cmd_findClick() = 0;
    virtual void cmd_editClick() = 0;
    virtual void cmd_saveClick() = 0;
    // Throws away what was entered, after a question when anything was.
    void cmd_cancClick();
    void cmd_prinClick();
    void onCodeEdited();
    // The quantities of the style in 产品编码 (or of the current row) as a size and colour grid.
    void enterByStyle();
    void cmd_exitClick();

protected:
    StockSheetWindow(int position, StockRules::Sheet kind, const QString& editCaption, QWidget* parent);

    // The filter row's grid: the subclasses add their boxes to it.
    QGridLayout* filterRow() const { return m_filterRow; }
    db::Dataset& sheet() const;
    // Shows the sheet in the grid once it is open.
    void showSheet();
    // The goods typed or scanned since the sheet was started.
    EnteredGoods& entered() { return m_entered; }
    // Something typed or scanned that a cancel or a close would throw away.
    bool anythingEntered() const;
    // Posts the row being typed; false (and a message) when it cannot be taken.
    bool postTypedRow();
    // Tells what a save that stored nothing means, and moves to the goods refused;
    // true when saved. Nothing to save ends the editing too, and so does a retry
    // of a count found stored (shown as stored).
    bool acceptSaveResult(const StockSheet::SaveResult& result);
    // The identity of the save of these lines: the same for a retry of the same lines.
    QString saveIdentityFor(const QList<StockSheet::Line>& lines) { return m_saveAttempt.identityFor(lines); }
    // After the save of `saveId` failed: when it was stored all the same, shows it
    // as stored (true); else false, the failure left to the caller to tell.
    bool showIfStored(const std::exception& failure, const QString& saveId);
    virtual ReportLayout& report() = 0;
    // Extra controls that follow the mode (the count's month picker).
    virtual void updateExtraControls(bool editing) { Q_UNUSED(editing); }

    // The adjustment takes the user to the found row to type at once.
    void setFocusGridOnFind(bool focus) { m_focusGridOnFind = focus; }

    void updateButtons() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    // A sheet may be closed while editing, once the user agrees to lose what was entered.
    bool canClose() const override;

private:
    bool askToDiscard() const;
    // Says the save is stored, ends the editing and shows what is stored.
    void showStored();

    int m_position;
    StockRules::Sheet m_kind;
    QGridLayout* m_filterRow;
    EnteredGoods m_entered;
    bool m_focusGridOnFind = false;
    SaveIdentity::Attempt<QList<StockSheet::Line>> m_saveAttempt;   // kept for a retry of the same lines
};
