#pragma once

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <functional>

class QAction;
class QDialog;
class QLabel;
class QMenu;
class QToolBar;
class QToolButton;
class BackupKeeper;
class TodayPage;

// The main window, built once someone has logged in: menu bar and tool bar that
// open every command window, the status bar with the user, and the rights
// applied to every command.
class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TfrmMain(QWidget* parent = nullptr);
    ~TfrmMain() override;

    // Enables each numbered menu item and tool-bar button from pow_use.
    void applyRights();
    // Shows a background picture at 800 or 1024 pixels of screen width, none otherwise.
    void applyBackground(int screenWidth);
    // Fills the status bar for the logged-in user.
    void showUser();
    // Opens the command window of the class modally, destroying it when it closes.
    // `prepare` sets the window up once it is created (a card's range), before it shows.
    void openWindow(const QString& className, const std::function<void(QDialog*)>& prepare = {});
    TodayPage* todayPage() const { return m_today; }
    QAction* menuItem(const QString& name) const;
    QToolButton* toolButton(const QString& name) const;
    // The window of the class while it is open, else nullptr.
    QDialog* openedWindow(const QString& className) const { return m_open.value(className); }
    BackupKeeper* backups() const { return m_backups; }

public slots:
    // What the logged-in user meets first: status bar, rights, the backup
    // question, the numbers check and the home page. Runs when the window first shows.
    void FormShow();
    void openHomePage();
    void openHelp();
    void openAbout();
    void exitProgram();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildToolBar();
    void buildStatusBar();
    void checkNumbers();
    // Brings the window up front and waits (a second at most) until it is active.
    void waitUntilActive();

    QToolBar* m_toolBar;
    QLabel* m_background800;
    QLabel* m_background1024;
    QList<QLabel*> m_panels;
    QHash<QString, QAction*> m_items;
    QHash<QString, int> m_positions;         // menu item / tool button -> function position
    QHash<QString, QToolButton*> m_buttons;
    QHash<QString, QPointer<QDialog>> m_open;
    bool m_shown = false;
    BackupKeeper* m_backups;
    TodayPage* m_today;
};
