#include "app/Startup.h"

#include "app/Application.h"
#include "app/SingleInstance.h"
#include "core/AppPaths.h"
#include "core/DatabaseFile.h"
#include "core/TFrmDataMod.h"
#include "app/TFrmLogin.h"
#include "app/TfrmFlash.h"
#include "app/TfrmMain.h"
#include "app/WindowCatalog.h"
#include "reports/ReportLayouts.h"
#include "ui/BusyCursor.h"
#include "ui/Dialogs.h"

#include <QDir>
#include <QFont>
#include <QIcon>
#include <QLocale>
#include <QLibraryInfo>
#include <QScreen>
#include <QTranslator>
#include <memory>

namespace {

// Qt's own dialogs (buttons of message boxes, print and file dialogs) in Chinese.
void loadTranslations(QApplication& app)
{
    const QString dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const char* name : {"qtbase_zh_CN", "qt_zh_CN"}) {
        auto* translator = new QTranslator(&app);
        if (translator->load(QString::fromLatin1(name), dir))
            app.installTranslator(translator);
        else
            delete translator;
    }
}

} // namespace

int runBrovanta(int argc, char* argv[])
{
    Application app(argc, argv);
    // The pictures live in the static library's resources, which must be pulled in by hand.
    Q_INIT_RESOURCE(resources);
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    app.setApplicationName(QStringLiteral("brovanta"));
    app.setOrganizationName(QStringLiteral("brovanta"));
    // The desktop's menu entry and task bar know the program by its desktop file and icon.
    app.setDesktopFileName(QStringLiteral("brovanta"));
    app.setWindowIcon(QIcon(QStringLiteral(":/icons/brovanta.png")));
    loadTranslations(app);
    app.setFont(QFont(QStringLiteral("Noto Sans CJK SC"), 10));

    SingleInstance instance;
    if (!instance.acquire()) {
        ui::inform(QStringLiteral("程序已经运行"));
        return 0;
    }

    auto* splash = new TfrmFlash;
    splash->show();
    splash->repaint();
    app.processEvents();

    // A first start leaves the new database in place before the login is shown;
    // a file that cannot be made is reported by the login, which tries again.
    try {
        DatabaseFile::createIfMissing(AppPaths::databaseFile());
    } catch (const std::exception&) {
    }

    TFrmDataMod dataModule;

    // The splash shows only while the database is made: the login follows at once.
    splash->hide();
    delete splash;

    return logInAndRun();
}

int logInAndRun()
{
    {
        TFrmLogin login;
        const int result = ui::dialogs().exec(&login);
        if (login.closeExitCode() != 0)
            return login.closeExitCode();
        if (login.terminateRequested() || result != QDialog::Accepted)
            return 0;
    }
    std::unique_ptr<TfrmMain> mainWindow;
    {
        const ui::BusyCursor busy;
        WindowCatalog::registerAll();
        mainWindow = std::make_unique<TfrmMain>();
        ReportLayouts::createAll(mainWindow.get());
    }
    mainWindow->showMaximized();
    return QApplication::exec();
}
