#pragma once

#include "core/ShopServer.h"

#include <QDialog>

#include <functional>

class QLineEdit;
class QPushButton;
class QRadioButton;

// The login dialog: connects to the database (the connection step) and checks
// the user against `powers`. Two complete attempts; the third press ends the
// program. The PC's own file or the shop's server, as chosen on the dialog.
class TFrmLogin : public QDialog {
    Q_OBJECT
public:
    explicit TFrmLogin(QWidget* parent = nullptr);

    QLineEdit* userEdit;
    QLineEdit* passwordEdit;
    QPushButton* cmd_ok;
    QPushButton* cmd_close;
    QRadioButton* rbFile;
    QRadioButton* rbServer;
    QPushButton* cmd_server;

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
    void cmd_serverClick();

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    bool checkUser(const QString& userId, const QString& password);
    // checkUser() for the typed id, saying why when the database or the user refuses.
    bool typedUserFound(const QString& password);
    bool openServer(db::Connection& connection);
    // Runs `work` on a connection of the server's owner, whose password is asked
    // for (`why` says what for), then gives the PCs' role its rights anew. False
    // when the user gave no password (told so); throws db::Error when the owner
    // could not log in or the work failed.
    bool asOwner(const db::ServerAddress& address, const QString& why,
                 const std::function<void(db::Connection&)>& work);
    // The next attempt connects anew, to what the dialog then chooses.
    void dropConnection();

    int m_attempt = 1;
    bool m_connected = false;
    bool m_terminateRequested = false;
    int m_closeExitCode = 0;
};
