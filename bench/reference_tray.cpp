// The yardstick for start-up time and memory: the least a Qt tray program of this shape needs.
// A main window with a menu bar and two buttons, centred; a tray icon with a tip; three window
// timers, the first stepping the icon through two frames once a second, the other two idle
// until switched on, as in the program. Nothing else: no files, no other windows.

#include <QApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QMainWindow>
#include <QMenuBar>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTimer>

#include "resources/icons/frame1-32.xpm"
#include "resources/icons/frame2-32.xpm"
#include "resources/icons/magnet-16.xpm"
#include "resources/icons/magnet-32.xpm"

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);

    QIcon design;
    design.addPixmap(QPixmap(magnet_32));
    design.addPixmap(QPixmap(magnet_16));
    const QIcon frames[] = {QIcon(QPixmap(frame1_32)), QIcon(QPixmap(frame2_32))};

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Reference"));
    window.setWindowIcon(design);
    QMenuBar* bar = window.menuBar();
    bar->setNativeMenuBar(false);
    QObject::connect(bar->addMenu(QStringLiteral("File"))->addAction(QStringLiteral("Exit")), &QAction::triggered,
                     &application, &QApplication::quit);
    QMenu* settings = bar->addMenu(QStringLiteral("Settings"))->addMenu(QStringLiteral("Settings"));
    settings->addAction(QStringLiteral("MM2 Directory"));
    settings->addAction(QStringLiteral("Auto Delete"));
    QMenu* help = bar->addMenu(QStringLiteral("Help"));
    help->addAction(QStringLiteral("Help"));
    help->addAction(QStringLiteral("About"));
    bar->addAction(QString(43, QLatin1Char(' ')) + QStringLiteral("Minimize"));

    auto* client = new QWidget(&window);
    auto* layout = new QHBoxLayout(client);
    auto* on = new QPushButton(QStringLiteral("Turn ON"), client);
    auto* off = new QPushButton(QStringLiteral("Turn OFF"), client);
    layout->addWidget(on);
    layout->addWidget(off);
    window.setCentralWidget(client);
    window.setFixedSize(312, 85);

    QSystemTrayIcon tray(design);
    tray.setToolTip(QStringLiteral("Reference"));
    tray.show();

    QTimer animation;
    QTimer sweep;
    QTimer refresh;
    animation.setInterval(1000);
    sweep.setInterval(6000);
    refresh.setInterval(1000);
    int counter = 0;
    QObject::connect(&animation, &QTimer::timeout, [&] {
        counter = (counter + 1) % 2;
        window.setWindowIcon(frames[counter]);
        tray.setIcon(frames[counter]);
    });
    QObject::connect(on, &QPushButton::clicked, [&] {
        sweep.start();
        refresh.start();
    });
    QObject::connect(off, &QPushButton::clicked, [&] {
        sweep.stop();
        refresh.stop();
    });
    animation.start();

    window.move(window.screen()->geometry().center() - window.rect().center());
    window.show();
    return QApplication::exec();
}
