#include "maintenance/MaintenanceWindow.h"

#include "core/CurrentRights.h"
#include "ui/WindowParts.h"
#include "ui/BusyCursor.h"
#include "ui/ModeWindow.h"
#include "ui/WindowPlacement.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QStorageInfo>
#include <QTreeView>
#include <QWindow>

#include <memory>

using WindowParts::named;

namespace {

qint64 largeFile = 8 * 1024 * 1024;

bool isUnder(const QString& path, const QString& place)
{
    return path == place || path.startsWith(place.endsWith(QLatin1Char('/')) ? place : place + QLatin1Char('/'));
}

} // namespace

void MaintenanceWindow::setLargeFileBytes(qint64 bytes)
{
    largeFile = bytes;
}

MaintenanceWindow::MaintenanceWindow(QWidget* parent, const QString& caption, const QString& prompt,
                                     const QString& action, int rightPosition)
    : QDialog(parent)
{
    setWindowTitle(caption);
    promptLabel = named<QLabel>("Label1");
    promptLabel->setText(prompt);
    DC = named<QComboBox>("DC");
    DL = named<QTreeView>("DL");
    DirLabel = named<QLabel>("DirLabel");
    DirLabel->setWordWrap(true);
    promptLabel->setBuddy(DL);

    m_model = new QFileSystemModel(this);
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    m_model->setRootPath(QDir::rootPath());
    DL->setModel(m_model);
    for (int column = 1; column < m_model->columnCount(); ++column)
        DL->hideColumn(column);
    DL->header()->hide();
    DL->setMinimumSize(260, 240);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    cmd_add = WindowParts::addButton(buttons, "cmd_add", action);
    exitButton = WindowParts::addCommand(buttons, "BitBtn1", WindowParts::Command::Exit);
    auto* tree = new QVBoxLayout;
    tree->addWidget(DC);
    tree->addWidget(DL, 1);
    m_browserRow = new QHBoxLayout;
    m_browserRow->addLayout(tree, 1);
    auto* root = new QVBoxLayout(this);
    root->addWidget(promptLabel);
    root->addLayout(m_browserRow, 1);
    root->addWidget(DirLabel);
    root->addLayout(buttons);

    fillPlaces();
    connect(DC, &QComboBox::activated, this, &MaintenanceWindow::DCChange);
    connect(DL->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        if (chosenDirectory() != m_revealing)
            m_revealing.clear();
        DirLabel->setText(QDir::toNativeSeparators(chosenDirectory()));
        directoryChanged();
    });
    // Until the user picks another directory, each level read (and sorted) brings it into view again.
    connect(m_model, &QFileSystemModel::directoryLoaded, this, [this](const QString& path) {
        if (!m_revealing.isEmpty() && isUnder(m_revealing, path))
            reveal();
    });
    connect(m_model, &QAbstractItemModel::layoutChanged, this, [this] {
        if (!m_revealing.isEmpty())
            reveal();
    });
    connect(exitButton, &QPushButton::clicked, this, &MaintenanceWindow::onExit);
    ui::applyRight(cmd_add, Right::Add, rightPosition);
    chooseDirectory(QDir::currentPath());
}

// The places a Linux user starts from: home, the root, and mounted volumes (USB sticks, shares).
void MaintenanceWindow::fillPlaces()
{
    DC->addItem(QStringLiteral("主目录 %1").arg(QDir::homePath()), QDir::homePath());
    DC->addItem(QStringLiteral("根目录 /"), QDir::rootPath());
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString path = volume.rootPath();
        const bool removable = path.startsWith(QLatin1String("/media/")) || path.startsWith(QLatin1String("/mnt/"))
                               || path.startsWith(QLatin1String("/run/media/"));
        if (volume.isValid() && volume.isReady() && removable)
            DC->addItem(volume.displayName() == path ? path : QStringLiteral("%1 (%2)").arg(volume.displayName(), path),
                        path);
    }
}

QString MaintenanceWindow::chosenDirectory() const
{
    const QModelIndex current = DL->currentIndex();
    return current.isValid() ? m_model->filePath(current) : QString();
}

void MaintenanceWindow::chooseDirectory(const QString& path)
{
    const QString wanted = QDir(path).absolutePath();
    // The deepest place that holds the directory becomes the tree's root.
    int place = 1;
    for (int i = 0; i < DC->count(); ++i) {
        const QString candidate = DC->itemData(i).toString();
        if (isUnder(wanted, candidate) && candidate.size() > DC->itemData(place).toString().size())
            place = i;
    }
    DC->setCurrentIndex(place);
    DL->setRootIndex(m_model->index(DC->itemData(place).toString()));
    m_revealing = wanted;
    DL->setCurrentIndex(m_model->index(wanted));
    reveal();
}

// Opens the branches down to the chosen directory and scrolls to it. The tree
// reads directories in the background, so this repeats as each level arrives.
void MaintenanceWindow::reveal()
{
    const QModelIndex index = m_model->index(m_revealing);
    for (QModelIndex up = index.parent(); up.isValid(); up = up.parent())
        DL->expand(up);
    DL->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

void MaintenanceWindow::DCChange()
{
    const QModelIndex place = m_model->index(DC->currentData().toString());
    DL->setRootIndex(place);
    DL->setCurrentIndex(place);
}

void MaintenanceWindow::onExit()
{
    close();
}

MaintenanceResult MaintenanceWindow::runCopy(const QString& label, qint64 fileBytes,
                                             const std::function<MaintenanceResult(const db::BackupProgress&)>& work)
{
    const ui::BusyCursor busy;
    std::unique_ptr<QProgressDialog> dialog;
    if (fileBytes >= largeFile) {
        dialog = std::make_unique<QProgressDialog>(label, QStringLiteral("取消"), 0, 100, this);
        dialog->setObjectName(QStringLiteral("ProgressDialog"));
        dialog->setWindowTitle(windowTitle());
        dialog->setWindowModality(Qt::ApplicationModal);
        dialog->setMinimumDuration(0);
        dialog->setAutoClose(false);
        dialog->setAutoReset(false);
        dialog->show();
        // The first part of the work may not let it paint, so wait until it is on screen.
        QElapsedTimer waited;
        waited.start();
        while (!(dialog->windowHandle() && dialog->windowHandle()->isExposed()) && waited.elapsed() < 1000)
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 50);
    }
    bool checking = false;
    const db::BackupProgress progress = [&](int copied, int total) {
        if (!dialog)
            return true;
        // A check of unknown length (total 0) cannot be stopped; a copy can.
        if ((total == 0) != checking) {
            checking = total == 0;
            dialog->setLabelText(checking ? QStringLiteral("正在检查数据库……") : label);
            if (checking)
                dialog->setCancelButton(nullptr);
            else
                dialog->setCancelButtonText(QStringLiteral("取消"));
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        }
        dialog->setRange(0, total);
        dialog->setValue(copied);   // a modal progress dialog keeps the screen painted
        return !dialog->wasCanceled();
    };
    return work(progress);
}

void MaintenanceWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    ui::centreOnScreen(this);
}
