#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace ui {
class DbGrid;
}

// "货品查询", the goods picker: on OK the chosen item is GoodsFindQ's current row.
// Enter chooses the current row (with an empty list it closes like 退出); Escape closes.
class TFrmGoodsFind : public QDialog {
    Q_OBJECT
public:
    explicit TFrmGoodsFind(QWidget* parent = nullptr);

    // Opens on a code the caller already has: puts it in the code box and finds it.
    void setStartText(const QString& code);

    QLineEdit* Edit1;
    QComboBox* ComboBox1;
    QLineEdit* styleEdit;   // 款号: the style's first goods
    ui::DbGrid* DBGrid1;
    QPushButton* cmd_prin;
    QPushButton* cmd_exit;

public slots:
    // Jumps to the goods item whose whole code is typed.
    void Edit1Change();
    // Finds the code of the chosen or typed name and jumps to it.
    void ComboBox1Change();
    // Jumps to the first goods of the typed style.
    void styleEditChange();
    void cmd_prinClick();
    void cmd_exitClick();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
};
