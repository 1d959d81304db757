#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace ui {
class DbGrid;
}

// "货品查询", the goods picker: on OK the chosen item is GoodsFindQ's current row.
class TFrmGoodsFind : public QDialog {
    Q_OBJECT
public:
    explicit TFrmGoodsFind(QWidget* parent = nullptr);

    QLineEdit* Edit1;
    QComboBox* ComboBox1;
    ui::DbGrid* DBGrid1;
    QPushButton* cmd_prin;
    QPushButton* cmd_exit;

public slots:
    // Jumps to the goods item whose whole code is typed.
    void Edit1Change();
    // Finds the code of the chosen or typed name and jumps to it.
    void ComboBox1Change();
    void cmd_prinClick();
    void cmd_exitClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
};
