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

    QGroupBox* userGroup;
    ui::DbEdit* userIdEdit;
    ui::DbEdit* userNameEdit;   // looked up
    ui::DbEdit* passwordEdit;
    QLineEdit* passwordAgainEdit;
    ui::DbGrid* userGrid;

    QList<QCheckBox*> columnChecks;   // above the tick columns, in their order
    RightsGrid* rightsGrid;

    // The rights string each grid column edits, under its title: "复核" (5) is pow_chek, "查询" (6) pow_find.
    static const QStringList columnFields;

public slots:
    void FormCreate();
    void onUserIdEntered();
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
};
