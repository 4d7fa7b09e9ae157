#pragma once

// Helpers shared by the Qt front-end tests.

#include <QtTest>
#include <QtWidgets>
#include <memory>
#include <optional>

#include "core/app/application.h"
#include "qt/app/controls.h"
#include "core/app/form1.h"
#include "qt/app/form1_window.h"
#include "qt/app/qt_view_factory.h"
#include "tests/support/fake_platform.h"
#include "platform/posix/posix_file_system.h"
#include "qt/tray/qt_tray_port.h"
#include "qt/tray/tray_views.h"

namespace latchsweep::qt::testing {

inline int px(int twips) { return twipsToPixels(twips, screenTwipsPerPixel()); }
inline QRect pxRect(int left, int top, int width, int height) { return {px(left), px(top), px(width), px(height)}; }

// Deletes the windows the core has discarded.
inline void settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

inline void closePopups()
{
    while (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
}

// Qt's own tray code asks the offscreen platform for an X11 signal it does not have.
inline void quietTrayWarnings()
{
    QLoggingCategory::setFilterRules(QStringLiteral("qt.core.qobject.connect.warning=false"));
}

inline void writeFile(const QString& path, const QByteArray& bytes, QFile::Permissions permissions = {})
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
    file.close();
    if (permissions)
        QVERIFY(file.setPermissions(permissions));
}

inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

// A menu tree as "[name:caption [children]]", the shape of the core's menu data.
inline QString flatten(const QList<QAction*>& actions)
{
    QString out;
    for (QAction* action : actions) {
        const QMenu* menu = action->menu();
        if (action->isSeparator())
            continue;
        out += QStringLiteral("[%1:%2").arg(menu ? menu->objectName() : action->objectName(), action->text());
        out += (menu ? QLatin1Char(' ') + flatten(menu->actions()) : QString()) + QLatin1Char(']');
    }
    return out;
}

template <class Widget = QWidget>
Widget* child(const QWidget* window, const char* name)
{
    return window->findChild<Widget*>(QString::fromLatin1(name));
}

// A fixed frame with a close box and neither minimise nor maximise box.
inline void checkFixedFrame(QWidget* window)
{
    const Qt::WindowFlags flags = window->windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint) && !flags.testFlag(Qt::WindowMaximizeButtonHint));
    QCOMPARE(window->minimumSize(), window->maximumSize());
}

inline void checkFont(QWidget* widget, const char* family, double points, bool bold, bool italic)
{
    QCOMPARE(widget->font().family(), QString::fromLatin1(family));
    QCOMPARE(widget->font().pointSizeF(), points);
    QCOMPARE(widget->font().bold(), bold);
    QCOMPARE(widget->font().italic(), italic);
}

// A frame as it is drawn: painted alone (without its controls), its top line (the first row
// drawn across its right half, where no caption stands) crosses none of its controls, and the
// caption's ink (left half, off that line) runs through it in no more room than the window's font.
inline void checkFrameDrawing(QGroupBox* frame)
{
    const QColor background = frame->palette().color(frame->backgroundRole());
    QImage image(frame->size(), QImage::Format_ARGB32);
    image.fill(background);
    frame->render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    const auto inked = [&](int x0, int x1, int y) {
        for (int x = x0; x < x1; ++x)
            if (image.pixelColor(x, y) != background)
                return x;
        return -1;
    };
    int line = 0;
    while (line < image.height() && inked(image.width() / 2, image.width() - 4, line) < 0)
        ++line;
    for (const QWidget* control : frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        QVERIFY2(line + 1 < control->y() || line > control->geometry().bottom(), qPrintable(control->objectName()));
    if (frame->title().isEmpty())
        return;
    QList<int> rows;
    for (int y = 0; y < image.height() - 4; ++y)
        if (y != line && y != line + 1 && inked(4, image.width() / 2, y) >= 0)
            rows << y;
    QVERIFY2(!rows.isEmpty() && rows.first() < line && rows.last() > line + 1, qPrintable(QString::number(line)));
    QVERIFY(rows.last() - rows.first() < QFontMetrics(frame->window()->font()).height());
}

// A control as the layout places it: its rectangle in its container and its text.
struct Placed {
    const char* name;
    QRect rect;
    const char* text; // nullptr: not checked
    const char* parent = "client";
};

inline void checkControls(const QWidget* window, std::initializer_list<Placed> controls)
{
    for (const Placed& expected : controls) {
        const QWidget* widget = child(window, expected.name);
        QVERIFY2(widget, expected.name);
        const QRect at = widget->geometry();
        QVERIFY2(at == expected.rect, qPrintable(QStringLiteral("%1 at %2,%3 %4x%5").arg(expected.name).arg(at.x())
                                                     .arg(at.y()).arg(at.width()).arg(at.height())));
        QCOMPARE(widget->parentWidget()->objectName(), QString::fromLatin1(expected.parent));
        QString text = widget->property("text").toString();
        if (const auto* frame = qobject_cast<const QGroupBox*>(widget))
            text = frame->title();
        else if (const auto* box = qobject_cast<const QTextEdit*>(widget))
            text = box->toPlainText();
        if (expected.text)
            QCOMPARE(text, QString::fromUtf8(expected.text));
    }
}

// The program with the real Qt windows over the real POSIX file system, in a scratch working
// directory; every other port is a fake.
struct ScratchProgram {
    QTemporaryDir scratch;
    QString previous = QDir::currentPath();
    PosixFileSystem files;
    latchsweep::testing::FakePlatform fakes;
    Platform ports{fakes.clock, files, fakes.messages, fakes.process, fakes.tray, fakes.registry, fakes.launcher};
    QtViewFactory views;
    std::optional<Application> app;

    ScratchProgram()
    {
        QDir::setCurrent(scratch.path());
        app.emplace(ports, views);
    }
    ~ScratchProgram()
    {
        app.reset();
        settle();
        QDir::setCurrent(previous);
    }
    const std::vector<latchsweep::testing::ShownMessage>& shown() const { return fakes.messages.shown; }
};

// The program on fake ports but for the Qt notification-area adapter, which looks for an area
// with the given probe, or on the desktop.
struct TrayProgram {
    latchsweep::testing::FakePlatform fakes;
    QtTrayPort tray;
    Platform ports{fakes.clock, fakes.files, fakes.messages, fakes.process, tray, fakes.registry, fakes.launcher};
    QtViewFactory views;
    Application app{ports, views};

    explicit TrayProgram(QtTrayPort::AreaProbe area = {}, std::optional<QtTrayPort::Popups> popups = {})
        : tray(std::move(area), popups)
    {
        app.start();
        connectTrayCallback(tray, window());
    }
    Form1Window& window() { return *views.form1Window(); }
    QSystemTrayIcon* icon() { return tray.icon(window().handle(), static_cast<std::int32_t>(app.form1().IconObject)); }
    bool restored() { return window().isVisible() && !(window().windowState() & Qt::WindowMinimized); }
};

} // namespace latchsweep::qt::testing
