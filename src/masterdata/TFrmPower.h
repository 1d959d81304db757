#pragma once

#include "ui/ModeWindow.h"

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class RightsGrid;

namespace ui {
class DbEdit;
class DbGrid;
}

// "权限设置": which employees may log in, their passwords and their seven rights strings.
class TFrmPower : public ui::ModeWindow {
    Q_OBJECT
public:
    explicit TFrmPower(QWidget* parent = nullptr);
    ~TFrmPower() override;

    QPushButton* cmd_add;
    QPushButton* cmd_edit;
    QPushButton* cmd_dele;
    QPushButton* cmd_save;
    QPushButton* cmd_canc;
    QPushButton* cmd_exit;

    QGroupBox* GB1;
    ui::DbEdit* DBEdit1;   // user id
    ui::DbEdit* DBEdit2;   // name, looked up
    ui::DbEdit* DBEdit4;   // password
    QLineEdit* Edit5;      // password again
    ui::DbGrid* DBGrid1;

    QCheckBox* CheckBox1;
    QCheckBox* CheckBox2;
    QCheckBox* CheckBox3;
    QCheckBox* CheckBox4;
    QCheckBox* CheckBox5;
    QCheckBox* CheckBox6;
    QCheckBox* CheckBox7;
    RightsGrid* SGrid;

    // The rights string each grid column edits, under its title: "复核" (5) is pow_chek, "查询" (6) pow_find.
    static const QStringList columnFields;

public slots:
    void FormCreate();
    void DBEdit1KeyPress();
    void cmd_addClick();
    void cmd_editClick();
    void cmd_saveClick();
    void cmd_cancClick();
    void cmd_deleClick();
    void cmd_exitClick();

protected:
    void updateButtons() override;

private:
    void buildLayout();
    QWidget* buildColumnBoxes();
    void reloadTicks();
    void clearGrid();
    enum class IdCheck { Ok, AlreadyUser, NotEmployee };
    IdCheck checkNewUser(const QString& id);
    // False when the user would rather not keep a blank at an end of the typed password.
    bool blanksAccepted();
    QList<QCheckBox*> columnBoxes() const;
};
