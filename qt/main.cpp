#include <QApplication>

#include "app/qt_program.h"
#include "version.h"

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral(LATCHSWEEP_PRODUCT_NAME));
    QApplication::setApplicationVersion(QStringLiteral(LATCHSWEEP_VERSION_TEXT));
    QApplication::setDesktopFileName(QStringLiteral("latchsweep"));
    // The program lives in the notification area: closing other windows never ends it.
    QApplication::setQuitOnLastWindowClosed(false);

    latchsweep::qt::QtProgram program;
    program.start();
    return QApplication::exec();
}
