#pragma once

#include "db/Connection.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// Where the shop's server is: kept in system.ini, the password (when it is to
// be remembered) in the desktop keyring, never shown again. A saved server is
// changed only by a user with the 系统管理 right (that of 权限设置).
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
    QLabel* sslNote;     // shown when an encryption is chosen that a socket folder never gives
    QLabel* savedNote;   // how a saved server is changed, shown to whom may not
    QPushButton* cmd_test;
    QPushButton* cmd_ok;
    QPushButton* cmd_cancel;

public slots:
    void cmd_testClick();
    void cmd_okClick();

private:
    // The typed address, or false after saying what is wrong with it.
    bool typedAddress(db::ServerAddress* address);
    void showSslNote();
    // A saved server, for a user without the 系统管理 right: shown and tested, not changed.
    void showOnly();

    db::ServerAddress m_saved;   // as system.ini had it when the dialog opened
};
