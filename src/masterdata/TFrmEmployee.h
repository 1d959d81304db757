#pragma once

#include "ui/ModeWindow.h"

class QDateEdit;
class QGroupBox;
class QPushButton;

namespace ui {
class DbComboBox;
class DbEdit;
class DbGrid;
}

// "员工资料": the staff list with personal and employment data, kept in EmployeeQ.
class TFrmEmployee : public ui::ModeWindow {
    Q_OBJECT
public:
    explicit TFrmEmployee(QWidget* parent = nullptr);
    ~TFrmEmployee() override;

    ui::DbGrid* DBGrid1;
    QPushButton* BitBtn2;   // 新增
    QPushButton* BitBtn7;   // 修改
    QPushButton* BitBtn6;   // 删除
    QPushButton* BitBtn4;   // 保存
    QPushButton* BitBtn3;   // 取消
    QPushButton* BitBtn5;   // 打印
    QPushButton* BitBtn1;   // 退出

    QGroupBox* GroupBox1;
    ui::DbEdit* DBEdit1;
    ui::DbEdit* DBEdit3;
    ui::DbComboBox* DBComboBox4;
    ui::DbComboBox* DBComboBox8;
    ui::DbComboBox* DBComboBox7;
    QDateEdit* DateTimePicker1;
    ui::DbEdit* DBEdit4;
    ui::DbEdit* DBEdit7;
    ui::DbEdit* DBEdit6;
    ui::DbEdit* DBEdit10;
    ui::DbEdit* DBEdit8;
    ui::DbComboBox* DBComboBox9;
    ui::DbComboBox* DBComboBox10;
    ui::DbEdit* DBEdit13;
    ui::DbComboBox* DBComboBox11;
    ui::DbEdit* DBEdit9;
    ui::DbEdit* DBEdit11;
    ui::DbEdit* DBEdit5;
    ui::DbEdit* DBEdit12;

    QGroupBox* GroupBox2;
    ui::DbComboBox* DBComboBox1;
    QDateEdit* DateTimePicker2;
    ui::DbComboBox* DBComboBox3;
    ui::DbComboBox* DBComboBox6;
    ui::DbComboBox* DBComboBox2;
    ui::DbEdit* DBEdit2;
    ui::DbComboBox* DBComboBox5;

public slots:
    void FormCreate();
    void BitBtn2Click();
    void BitBtn7Click();
    void BitBtn6Click();
    void BitBtn4Click();
    void BitBtn3Click();
    void BitBtn5Click();
    void BitBtn1Click();

protected:
    void updateButtons() override;

private:
    void buildLayout();
    void fillCombos();
    void showDates();
    bool codeTakenByAnother(const QString& code) const;

    QString m_editedCode;   // the code the row had when editing began
};
