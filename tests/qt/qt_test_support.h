#pragma once

// Helpers shared by the Qt front-end tests.

#include <QtTest>
#include <QtWidgets>
#include <memory>
#include <optional>

#include "app/application.h"
#include "app/controls.h"
#include "app/form1.h"
#include "app/form1_window.h"
#include "app/qt_view_factory.h"
#include "fake_platform.h"
#include "posix_file_system.h"
#include "tray/qt_tray_port.h"
#include "tray/tray_views.h"

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

// A frame as it is drawn on screen: its outline's top line runs through the middle of its
// caption, in the window's font, and crosses none of the frame's controls. The frame alone is
// painted (without its controls) and its pixels looked at.
inline void checkFrameDrawing(QGroupBox* frame)
{
    const QColor background = frame->palette().color(frame->backgroundRole());
    QImage image(frame->size(), QImage::Format_ARGB32);
    image.fill(background);
    frame->render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    const auto inked = [&](int x, int y) { return image.pixelColor(x, y) != background; };
    // The top line: the first row drawn all across the right half, where no caption stands.
    int line = -1;
    for (int y = 0; y < image.height() && line < 0; ++y) {
        bool across = true;
        for (int x = image.width() / 2; x < image.width() - 4 && across; ++x)
            across = inked(x, y);
        if (across)
            line = y;
    }
    QVERIFY2(line >= 0, "no outline drawn");
    for (const QWidget* control : frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const QRect at = control->geometry();
        QVERIFY2(line + 1 < at.top() || line > at.bottom(),
                 qPrintable(QStringLiteral("the line at %1 crosses %2").arg(line).arg(control->objectName())));
    }
    if (frame->title().isEmpty())
        return;
    // The caption's ink, left of the middle and clear of the outline's left edge.
    int top = -1, bottom = -1, left = image.width(), right = -1;
    for (int y = 0; y < image.height() - 4; ++y) {
        if (y == line || y == line + 1)
            continue;
        for (int x = 4; x < image.width() / 2; ++x) {
            if (!inked(x, y))
                continue;
            top = top < 0 ? y : top;
            bottom = y;
            left = std::min(left, x);
            right = std::max(right, x);
        }
    }
    QVERIFY2(top >= 0 && top < line && bottom > line + 1,
             qPrintable(QStringLiteral("caption from %1 to %2, line at %3").arg(top).arg(bottom).arg(line)));
    const QFontMetrics windowFont(frame->window()->font());
    QVERIFY2(bottom - top < windowFont.height() && right - left < windowFont.horizontalAdvance(frame->title()),
             qPrintable(QStringLiteral("caption %1 x %2 px").arg(right - left + 1).arg(bottom - top + 1)));
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

    explicit TrayProgram(QtTrayPort::AreaProbe area = {}) : tray(std::move(area))
    {
        app.start();
        connectTrayCallback(tray, window());
    }
    Form1Window& window() { return static_cast<Form1Window&>(app.form1().view()); }
    QSystemTrayIcon* icon() { return tray.icon(window().handle(), static_cast<std::int32_t>(app.form1().IconObject)); }
    bool restored() { return window().isVisible() && !(window().windowState() & Qt::WindowMinimized); }
};

} // namespace latchsweep::qt::testing
