#pragma once

#include <QDialog>

namespace db {
class Connection;
}
class QLineEdit;
class QPushButton;

// The login dialog: connects to the database (the connection step) and checks
// the user against `powers`. Two complete attempts; the third press ends the program.
class TFrmLogin : public QDialog {
    Q_OBJECT
public:
    explicit TFrmLogin(QWidget* parent = nullptr);

    QLineEdit* Edit1;
    QLineEdit* Edit2;
    QPushButton* cmd_ok;
    QPushButton* cmd_close;

    // The connection step: loads the print settings from system.ini and opens the
    // database once. Throws when line_count is not an integer.
    void connectDatabase();
    bool isConnected() const { return m_connected; }
    int attempt() const { return m_attempt; }
    // Set by the third press of OK: the program ends once the attempt is over.
    bool terminateRequested() const { return m_terminateRequested; }
    // Set by "关闭[&X]": the program ends at once with this exit code.
    int closeExitCode() const { return m_closeExitCode; }

public slots:
    void cmd_okClick();
    void cmd_closeClick();

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    bool checkUser(const QString& userId, const QString& password);
    bool openServer(db::Connection& connection);

    int m_attempt = 1;
    bool m_connected = false;
    bool m_terminateRequested = false;
    int m_closeExitCode = 0;
};
