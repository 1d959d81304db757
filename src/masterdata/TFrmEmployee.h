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

    ui::DbGrid* employeeGrid;
    QPushButton* addButton;
    QPushButton* editButton;
    QPushButton* deleteButton;
    QPushButton* saveButton;
    QPushButton* cancelButton;
    QPushButton* printButton;
    QPushButton* exitButton;

    QGroupBox* personalGroup;
    ui::DbEdit* codeEdit;
    ui::DbEdit* nameEdit;
    ui::DbComboBox* sexBox;
    ui::DbComboBox* registeredPlaceBox;
    ui::DbComboBox* nativePlaceBox;
    QDateEdit* birthDateEdit;
    ui::DbEdit* idCardEdit;
    ui::DbEdit* phoneEdit;
    ui::DbEdit* mobileEdit;
    ui::DbEdit* emergencyContactEdit;
    ui::DbEdit* emergencyPhoneEdit;
    ui::DbComboBox* schoolBox;
    ui::DbComboBox* majorBox;
    ui::DbEdit* graduationEdit;
    ui::DbComboBox* degreeBox;
    ui::DbEdit* pensionNoEdit;
    ui::DbEdit* medicalNoEdit;
    ui::DbEdit* addressEdit;
    ui::DbEdit* postCodeEdit;

    QGroupBox* employmentGroup;
    ui::DbComboBox* departmentBox;
    QDateEdit* joinDateEdit;
    ui::DbComboBox* dutyBox;
    ui::DbComboBox* salaryTypeBox;
    ui::DbComboBox* skillLevelBox;
    ui::DbEdit* baseSalaryEdit;
    ui::DbComboBox* shiftBox;

public slots:
    void FormCreate();
    void onAdd();
    void onEdit();
    void onDelete();
    void onSave();
    void onCancel();
    void onPrint();
    void onExit();

protected:
    void updateButtons() override;

private:
    void buildLayout();
    void fillCombos();
    void showDates();
    bool codeTakenByAnother(const QString& code) const;

    QString m_editedCode;   // the code the row had when editing began
};
