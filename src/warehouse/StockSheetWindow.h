#pragma once

#include "ui/ModeWindow.h"
#include "shop/StockSheet.h"

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

// The windows that type quantities over the working sheet `chektemp` through
// ChektempQ: the stock adjustment and the stock count. They share the tool bar,
// the grid, positioning by code, cancelling, printing and the checked save.
class StockSheetWindow : public ui::ModeWindow {
    Q_OBJECT
public:
    QPushButton* cmd_find;
    QPushButton* cmd_edit;
    QPushButton* cmd_save;
    QPushButton* cmd_canc;
    QPushButton* cmd_prin;
    QPushButton* cmd_exit;
    QLineEdit* Edit1;
    QLineEdit* Edit2;
    ui::DbGrid* DBGrid1;
    QPushButton* styleButton;   // the size and colour grid (F7)

public slots:
    virtual void cmd_findClick() = 0;
    virtual void cmd_editClick() = 0;
    virtual void cmd_saveClick() = 0;
    void cmd_cancClick();
    void cmd_prinClick();
    void Edit1Change();
    // The quantities of the style in 产品编码 (or of the current row) as a size and colour grid.
    void enterByStyle();
    void cmd_exitClick();

protected:
    StockSheetWindow(int position, const QString& editCaption, QWidget* parent);

    // The filter row's grid: the subclasses add their boxes to it.
    QGridLayout* filterRow() const { return m_filterRow; }
    db::Dataset& sheet() const;
    // Reopens ChektempQ over the whole sheet.
    void reopenSheet();
    // Posts the row being typed; false (and a message) when it cannot be written.
    bool postTypedRow();
    // Tells what a refused save needs and moves to the goods concerned; true when saved.
    bool acceptSaveResult(const StockSheet::SaveResult& result, const QString& quantityName);
    virtual ReportLayout& report() = 0;
    // Extra controls that follow the mode (the count's month picker).
    virtual void updateExtraControls(bool editing) { Q_UNUSED(editing); }

    // The adjustment takes the user to the found row to type at once.
    void setFocusGridOnFind(bool focus) { m_focusGridOnFind = focus; }

    void updateButtons() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // An unsaved sheet may be abandoned through the close box.
    bool canClose() const override { return true; }

private:
    int m_position;
    QGridLayout* m_filterRow;
    bool m_focusGridOnFind = false;
};
