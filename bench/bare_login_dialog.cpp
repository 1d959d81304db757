// The floor of the start-up bench: a Qt program that does nothing but show a
// dialog titled as the login is, so the bench times the toolkit's own start.
#include <QApplication>
#include <QDialog>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("用户登录"));
    dialog.show();
    return application.exec();
}
