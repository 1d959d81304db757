#pragma once

#include "db/Connection.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

// Where the shop's server is: kept in system.ini, the password (when it is to
// be remembered) in the desktop keyring.
class TFrmServerSettings : public QDialog {
    Q_OBJECT
public:
    explicit TFrmServerSettings(QWidget* parent = nullptr);

    QLineEdit* edHost;
    QLineEdit* edPort;
    QLineEdit* edDatabase;
    QLineEdit* edUser;
    QLineEdit* edPassword;
    QCheckBox* chkRemember;
    QComboBox* cbSsl;
    QPushButton* cmd_test;
    QPushButton* cmd_ok;
    QPushButton* cmd_cancel;

public slots:
    void cmd_testClick();
    void cmd_okClick();

private:
    // The typed address, or false after saying what is wrong with it.
    bool typedAddress(db::ServerAddress* address);

    db::ServerAddress m_saved;   // as system.ini had it when the dialog opened
};
