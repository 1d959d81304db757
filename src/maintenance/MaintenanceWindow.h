#pragma once

#include "shop/BackupFiles.h"

#include <QDialog>
#include <functional>

class QBoxLayout;
class QComboBox;
class QFileSystemModel;
class QLabel;
class QPushButton;
class QTreeView;

// What the backup and restore dialogs share: a place selector `DC` (home, the
// file system root, mounted volumes), a directory tree `DL` under the chosen
// place, the action button `cmd_add` and `exitButton` "退出".
class MaintenanceWindow : public QDialog {
    Q_OBJECT
public:
    QLabel* promptLabel;
    QComboBox* DC;
    QTreeView* DL;
    QLabel* DirLabel;   // the chosen directory, in full
    QPushButton* cmd_add;
    QPushButton* exitButton;

    QString chosenDirectory() const;
    // Chooses a directory in the tree as a click on it does.
    void chooseDirectory(const QString& path);

    // Files from this size on show a progress dialog while they are copied.
    static void setLargeFileBytes(qint64 bytes);

public slots:
    void DCChange();
    void onExit();

protected:
    MaintenanceWindow(QWidget* parent, const QString& caption, const QString& prompt, const QString& action,
                      int rightPosition);

    // The row under the prompt that holds the tree; the restore adds its file list to it.
    QBoxLayout* browserRow() const { return m_browserRow; }
    // Another directory was chosen.
    virtual void directoryChanged() {}
    // Runs a copy with the busy cursor and, for a large file, a progress dialog.
    MaintenanceResult runCopy(const QString& label, qint64 fileBytes,
                              const std::function<MaintenanceResult(const db::BackupProgress&)>& work);
    void showEvent(QShowEvent* event) override;

private:
    void fillPlaces();
    void reveal();
    QFileSystemModel* m_model;
    QBoxLayout* m_browserRow;
    QString m_revealing;   // the chosen directory while the tree still reads its way there
};
