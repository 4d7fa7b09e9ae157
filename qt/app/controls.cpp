#include "qt/app/controls.h"

#include <QAccessibleWidget>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTextEdit>
#include <algorithm>
#include <vector>

#include "core/base/placement.h"
#include "qt/app/qt_platform.h"

namespace latchsweep::qt {

double screenTwipsPerPixel()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return twipsPerPixelForDpi(screen ? screen->logicalDotsPerInchX() : 96.0);
}

QRect toPixels(const TwipsRect& rect, double twipsPerPixel)
{
    return {twipsToPixels(rect.left, twipsPerPixel), twipsToPixels(rect.top, twipsPerPixel),
            twipsToPixels(rect.width, twipsPerPixel), twipsToPixels(rect.height, twipsPerPixel)};
}

namespace {

// Enter and Esc as the window's layout gives them, for keys that the control with the focus
// leaves to its window (a list opens its entry on Enter itself).
class KeyRolesFilter : public QObject {
public:
    KeyRolesFilter(QWidget* window, const WindowLayout& windowLayout, ButtonPress press)
        : QObject(window),
          window_(window),
          windowLayout_(windowLayout),
          press_(std::move(press))
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != window_ || event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & ~Qt::KeypadModifier)
            return false;
        std::string_view button;
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            const QWidget* focus = window_->focusWidget();
            const std::string focused = focus ? toStdString(focus->objectName()) : std::string();
            button = buttonForEnter(windowLayout_, focused);
        } else if (key->key() == Qt::Key_Escape) {
            button = windowLayout_.keys.cancelButton;
        }
        if (button.empty())
            return false;
        press_(button); // may discard the window: nothing of it is used after
        return true;
    }

private:
    QWidget* window_;
    const WindowLayout& windowLayout_;
    ButtonPress press_;
};

// A frame drawn as Windows draws one: an etched outline whose top line runs through the middle
// of the caption, which stands on it in the window's own font. Styles draw a group box's title
// above its outline, and often bold, which would push the line down across the controls that
// the layout places just below the caption.
class FrameBox : public QGroupBox {
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const QFontMetrics metrics(font());
        const int lineY = metrics.height() / 2; // also without a caption, as on Windows
        const QRect outline = rect().adjusted(0, lineY, -2, -2);
        painter.setPen(palette().color(QPalette::Light));
        painter.drawRect(outline.translated(1, 1));
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawRect(outline);
        if (title().isEmpty())
            return;
        constexpr int kCaptionLeft = 6;
        constexpr int kPadding = 2;
        const QRect caption(kCaptionLeft, 0, metrics.horizontalAdvance(title()) + 2 * kPadding, metrics.height());
        painter.fillRect(caption, palette().color(backgroundRole()));
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(caption, Qt::AlignCenter | Qt::TextSingleLine, title());
    }
};

// The windows are designed in Windows' fonts: "MS Sans Serif" and "Arial" are drawn by a family of
// the same metrics (fontconfig would answer with a far wider one), and a control without a font
// of its own in the dialog font Windows gives it.
QFont fontOf(const Font& designed)
{
    [[maybe_unused]] static const bool substituted = [] {
        for (const char* family : {"MS Sans Serif", "Arial"})
            QFont::insertSubstitution(QLatin1String(family), QStringLiteral("Liberation Sans"));
        return true;
    }();
    constexpr Font kWindowsDialogFont{"MS Sans Serif", 8.25};
    const Font& font = designed.family.empty() && designed.points <= 0 ? kWindowsDialogFont : designed;
    QFont made(toQString(font.family.empty() ? kWindowsDialogFont.family : font.family));
    made.setPointSizeF(font.points > 0 ? font.points : kWindowsDialogFont.points);
    made.setBold(font.bold);
    made.setItalic(font.italic);
    return made;
}

QWidget* create(const ControlLayout& controlLayout, QWidget* parent)
{
    const QString text = toQString(controlLayout.text);
    switch (controlLayout.kind) {
    case ControlKind::Frame:
        return new FrameBox(text, parent);
    case ControlKind::Button:
        return new QPushButton(text, parent);
    case ControlKind::Label: {
        auto* label = new QLabel(text, parent);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    }
    case ControlKind::Picture:
        return new QLabel(parent);
    case ControlKind::Line: {
        auto* line = new QFrame(parent);
        line->setFrameShape(QFrame::NoFrame);
        return line;
    }
    case ControlKind::RichText: {
        auto* box = new QTextEdit(parent);
        box->setPlainText(text);
        return box;
    }
    case ControlKind::DirectoryList:
        return new QListWidget(parent);
    }
    return new QWidget(parent);
}

constexpr char kWindowProperty[] = "latchsweepWindow";

// Qt takes a plain widget shown as a window for a mere client area, which a screen reader
// announces as nothing: the program's windows are windows, named by their titles.
QAccessibleInterface* windowInterface(const QString& className, QObject* object)
{
    auto* widget = qobject_cast<QWidget*>(object);
    if (className != QLatin1String("QWidget") || !widget || !widget->property(kWindowProperty).toBool())
        return nullptr;
    return new QAccessibleWidget(widget, QAccessible::Window);
}

void nameControls(const QHash<QString, QWidget*>& controls, const WindowLayout& windowLayout)
{
    for (const ControlLayout& controlLayout : windowLayout.controls) {
        QWidget* widget = controls.value(toQString(controlLayout.name));
        if (!widget)
            continue;
        widget->setAccessibleName(toQString(accessibleName(windowLayout, controlLayout)));
        // The label's buddy is what Qt reports to assistive technology as "labelled by".
        if (auto* label = qobject_cast<QLabel*>(controls.value(toQString(controlLayout.labelledBy))))
            label->setBuddy(widget);
    }
}

} // namespace

QHash<QString, QWidget*> buildControls(QWidget* client, const WindowLayout& windowLayout, double twipsPerPixel)
{
    QHash<QString, QWidget*> controls;
    std::vector<QWidget*> widgets(windowLayout.controls.size(), nullptr);
    for (std::size_t i = 0; i < windowLayout.controls.size(); ++i) {
        const ControlLayout& controlLayout = windowLayout.controls[i];
        QWidget* parent =
            controlLayout.parent.empty() ? client : controls.value(toQString(controlLayout.parent), client);
        QWidget* widget = create(controlLayout, parent);
        widget->setObjectName(toQString(controlLayout.name));
        widget->setGeometry(toPixels(controlLayout.rect, twipsPerPixel));
        widget->setFont(fontOf(controlLayout.font));
        controls.insert(widget->objectName(), widget);
        widgets[i] = widget;
    }
    nameControls(controls, windowLayout);
    [[maybe_unused]] static const bool factoryInstalled = [] {
        QAccessible::installFactory(windowInterface);
        return true;
    }();
    client->window()->setProperty(kWindowProperty, true);
    const std::vector<std::size_t> order = focusOrder(windowLayout);
    for (std::size_t i = 0; i < widgets.size(); ++i)
        if (std::ranges::find(order, i) == order.end())
            widgets[i]->setFocusPolicy(Qt::NoFocus);
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(widgets[order[i - 1]], widgets[order[i]]);
    return controls;
}

void connectButtons(QWidget* window, const QHash<QString, QWidget*>& controls, const WindowLayout& windowLayout,
                    const ButtonPress& press)
{
    for (const ControlLayout& controlLayout : windowLayout.controls) {
        auto* button = qobject_cast<QPushButton*>(controls.value(toQString(controlLayout.name)));
        if (!button)
            continue;
        // The platform's own default-button handling stays out: KeyRolesFilter presses the
        // layout's buttons; the default one is only drawn as such.
        button->setAutoDefault(false);
        button->setDefault(controlLayout.name == windowLayout.keys.defaultButton);
        QObject::connect(button, &QPushButton::clicked, window, [press, name = controlLayout.name] { press(name); });
    }
    new KeyRolesFilter(window, windowLayout, press);
    if (QWidget* first = controls.value(toQString(initialFocus(windowLayout))))
        first->setFocus(Qt::OtherFocusReason);
}

void placeOnFirstShowing(QWidget* window, const WindowLayout& windowLayout, double twipsPerPixel)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect frame = window->frameGeometry();
    const QPoint clientInFrame = window->geometry().topLeft() - frame.topLeft();
    const QRect whole = screen->geometry();
    const QRect available = screen->availableGeometry();
    const ScreenAreas areas{{whole.x(), whole.y(), whole.width(), whole.height()},
                            {available.x(), available.y(), available.width(), available.height()}};
    // Placed by its client area: before the window system has framed the window, Qt takes a
    // move for one of the client area too, and the frame then comes around it.
    if (const auto at = firstPlace(windowLayout, {0, 0, frame.width(), frame.height()},
                                   {clientInFrame.x(), clientInFrame.y()}, areas, twipsPerPixel))
        window->setGeometry(QRect(QPoint(at->x, at->y) + clientInFrame, window->size()));
}

void fixClientSize(QWidget* window, QWidget* client, const WindowLayout& windowLayout, double twipsPerPixel)
{
    fixClientAreaSize(client, windowLayout, twipsPerPixel);
    fitWindowToClient(window);
}

void fixClientAreaSize(QWidget* client, const WindowLayout& windowLayout, double twipsPerPixel)
{
    client->setFixedSize(twipsToPixels(windowLayout.clientWidth, twipsPerPixel),
                         twipsToPixels(windowLayout.clientHeight, twipsPerPixel));
}

void fitWindowToClient(QWidget* window)
{
    window->adjustSize();
    window->setFixedSize(window->sizeHint());
}

} // namespace latchsweep::qt
