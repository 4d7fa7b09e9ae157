#pragma once

// Helpers shared by the Qt front-end tests.

#include <QtTest>
#include <QtWidgets>
#include <algorithm>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

#include "core/app/application.h"
#include "core/app/form1.h"
#include "platform/posix/posix_file_system.h"
#include "qt/app/controls.h"
#include "qt/app/form1_window.h"
#include "qt/app/qt_platform.h"
#include "qt/app/qt_view_factory.h"
#include "qt/tray/form4_window.h"
#include "qt/tray/qt_tray_port.h"
#include "qt/tray/tray_views.h"
#include "tests/support/fake_platform.h"

namespace latchsweep::qt::testing {

using qt::toQString;

inline int px(int twips) { return twipsToPixels(twips, screenTwipsPerPixel()); }
inline QRect pxRect(const TwipsRect& rect) { return {px(rect.left), px(rect.top), px(rect.width), px(rect.height)}; }

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

inline void checkFont(const QWidget* widget, const Font& font)
{
    QCOMPARE(widget->font().family(), toQString(font.family));
    QCOMPARE(widget->font().pointSizeF(), font.points);
    QCOMPARE(widget->font().bold(), font.bold);
    QCOMPARE(widget->font().italic(), font.italic);
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

// The control of that name in the layout; the test fails where there is none.
inline const ControlLayout& layoutOf(const WindowLayout& windowLayout, std::string_view name)
{
    const auto found = std::find_if(windowLayout.controls.begin(), windowLayout.controls.end(),
                                    [name](const ControlLayout& control) { return control.name == name; });
    if (found == windowLayout.controls.end())
        qFatal("%s has no control %.*s", windowLayout.name.data(), int(name.size()), name.data());
    return *found;
}

// What a control shows as its text: a frame's title, a box's plain text, a label's or a button's text.
inline QString shownText(const QWidget* widget)
{
    if (const auto* frame = qobject_cast<const QGroupBox*>(widget))
        return frame->title();
    if (const auto* box = qobject_cast<const QTextEdit*>(widget))
        return box->toPlainText();
    return widget->property("text").toString();
}

// The window as its layout describes it: its name, caption and client area, and every control in
// its container at the pixels its twips convert to, with the layout's text and font. The window
// sizes the controls named in `sizedByContent` to what they show: only their place is checked.
inline void checkLayout(const QWidget* window, const WindowLayout& windowLayout,
                        std::initializer_list<std::string_view> sizedByContent = {})
{
    QCOMPARE(window->objectName(), toQString(windowLayout.name));
    QCOMPARE(window->windowTitle(), toQString(windowLayout.caption));
    const QWidget* client = child(window, "client");
    QVERIFY(client);
    QCOMPARE(client->size(), QSize(px(windowLayout.clientWidth), px(windowLayout.clientHeight)));
    QVERIFY(!windowLayout.controls.empty());
    for (const ControlLayout& control : windowLayout.controls) {
        const QString name = toQString(control.name);
        const QWidget* widget = window->findChild<QWidget*>(name);
        QVERIFY2(widget, qPrintable(name));
        const QString container = control.parent.empty() ? QStringLiteral("client") : toQString(control.parent);
        QVERIFY2(widget->parentWidget()->objectName() == container, qPrintable(name));
        const QRect expected = pxRect(control.rect);
        const QRect at = widget->geometry();
        const bool sized =
            std::find(sizedByContent.begin(), sizedByContent.end(), control.name) != sizedByContent.end();
        QVERIFY2(sized ? at.topLeft() == expected.topLeft() : at == expected,
                 qPrintable(QStringLiteral("%1 at %2,%3 %4x%5")
                                .arg(name)
                                .arg(at.x())
                                .arg(at.y())
                                .arg(at.width())
                                .arg(at.height())));
        QVERIFY2(shownText(widget) == toQString(control.text),
                 qPrintable(name + QStringLiteral(": ") + shownText(widget)));
        if (!control.font.family.empty())
            checkFont(widget, control.font);
    }
}

// The actions of a menu (its separators aside) against the core's menu data, in order: each
// item's name as the object name of its action or submenu, its caption, no shortcut, and its
// submenu. Where `commands` holds, every action carries its item's command.
inline void checkMenu(const QList<QAction*>& actions, std::span<const MenuItem> items, bool commands,
                      const QString& where = QStringLiteral("menu"))
{
    QList<QAction*> entries;
    for (QAction* action : actions)
        if (!action->isSeparator())
            entries << action;
    QVERIFY2(entries.size() == qsizetype(items.size()), qPrintable(where));
    for (std::size_t i = 0; i < items.size(); ++i) {
        const MenuItem& item = items[i];
        const QAction* action = entries[qsizetype(i)];
        const QMenu* submenu = action->menu();
        const QString path = where + QStringLiteral(" > ") + toQString(item.name);
        QVERIFY2((submenu != nullptr) == !item.children.empty(), qPrintable(path));
        QCOMPARE(submenu ? submenu->objectName() : action->objectName(), toQString(item.name));
        QCOMPARE(action->text(), toQString(item.caption));
        QVERIFY2(action->shortcut().isEmpty() && action->isEnabled() && !action->isCheckable(), qPrintable(path));
        if (commands)
            QVERIFY2(menuCommand(action) == item.command, qPrintable(path));
        if (submenu)
            checkMenu(submenu->actions(), item.children, commands, path);
    }
}

// The program with the real Qt windows over the real POSIX file system, in a scratch working
// directory; every other port is a fake.
struct ScratchProgram {
    QTemporaryDir scratch;
    QString previous = QDir::currentPath();
    PosixFileSystem files;
    latchsweep::testing::FakePlatform fakes;
    Platform ports{fakes.clock, files, fakes.messages, fakes.process, fakes.tray, fakes.registry, &fakes.launcher};
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
    Platform ports{fakes.clock, fakes.files, fakes.messages, fakes.process, tray, fakes.registry, &fakes.launcher};
    QtViewFactory views;
    Application app{ports, views};

    explicit TrayProgram(QtTrayPort::AreaProbe area = {}, std::optional<QtTrayPort::Popups> popups = {})
        : tray(std::move(area), popups)
    {
        app.start();
        connectTrayCallback(tray, window());
    }
    Form1Window& window() { return *views.form1Window(); }
    QSystemTrayIcon* icon()
    {
        return tray.icon(window().handle(), static_cast<std::int32_t>(app.form1().IconObject()));
    }
    // The tip the core put in the icon's record, up to its zero byte.
    QString tip()
    {
        const auto& field = app.module1().iconData().szTip;
        const auto end = std::find(field.begin(), field.end(), '\0');
        return toQString(std::string_view(field.data(), static_cast<std::size_t>(end - field.begin())));
    }
    bool restored() { return window().isVisible() && !(window().windowState() & Qt::WindowMinimized); }
};

} // namespace latchsweep::qt::testing
