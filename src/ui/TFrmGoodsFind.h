#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ui {
class DbGrid;
}

// "货品查询", the goods picker: on OK the chosen item is GoodsFindQ's current row.
// Opened on typed text it lists only the goods whose code or name contains it.
// Enter chooses the current row; with none it says so in the picker and stays; Escape closes.
class TFrmGoodsFind : public QDialog {
    Q_OBJECT
public:
    explicit TFrmGoodsFind(QWidget* parent = nullptr);

    // Opens on text the caller already has: lists the goods whose code or name contains it.
    void setStartText(const QString& code);

    QLineEdit* codeEdit;
    QComboBox* nameBox;
    QLineEdit* styleEdit;   // 款号: the style's first goods
    ui::DbGrid* goodsGrid;
    QPushButton* cmd_prin;
    QPushButton* cmd_exit;
    QLabel* note;   // what the list holds, or why Enter chose nothing

public slots:
    // Jumps to the goods whose code is typed, else to the first whose code starts with it.
    void jumpToCode();
    // Finds the code of the chosen or typed name and jumps to it.
    void jumpToName();
    // Jumps to the first goods of the typed style.
    void styleEditChange();
    void cmd_prinClick();
    void cmd_exitClick();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();

    QString m_typed;
};
