#include "qt/about/about_views.h"

#include <QCloseEvent>
#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmapCache>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

#include "qt/app/controls.h"
#include "qt/app/icons.h"
#include "qt/app/qt_platform.h"
#include "qt/app/window_adapter.h"
#include "qt/app/x11_desktop.h"

namespace latchsweep::qt {
namespace {

// A fixed dialog frame with a close box, no minimise or maximise box and no task-bar button
// (keepOffTaskBar). A plain top-level window with no owner: on X11, Qt makes a Qt::Tool window
// transient for the whole program, and window managers such as xfwm4 then minimise it together
// with the main window, out of reach since it has no task-bar button.
constexpr Qt::WindowFlags kToolWindowFlags =
    Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;

constexpr QRgb kDialogFace = qRgb(240, 240, 240);

// Lays out a window's controls on a client area of the layout's size, fixes the window at that
// size and places it as the layout says. The window system's frame is not known before the
// window is first shown: the client area is what must fit.
QHash<QString, QWidget*> buildWindow(QWidget* window, const WindowLayout& windowLayout)
{
    const double twipsPerPixel = screenTwipsPerPixel();
    window->setObjectName(toQString(windowLayout.name));
    window->setWindowTitle(toQString(windowLayout.caption));
    auto* client = new QWidget(window);
    client->setObjectName(QStringLiteral("client"));
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(client);
    auto controls = buildControls(client, windowLayout, twipsPerPixel);
    fixClientSize(window, client, windowLayout, twipsPerPixel);
    placeOnFirstShowing(window, windowLayout, twipsPerPixel);
    return controls;
}

// What the document leaves open stays the box's own font, size and colour.
QTextCharFormat charFormat(const RtfFormat& format)
{
    QTextCharFormat qtFormat;
    qtFormat.setFontWeight(format.bold ? QFont::Bold : QFont::Normal);
    qtFormat.setFontItalic(format.italic);
    qtFormat.setFontUnderline(format.underline);
    qtFormat.setFontStrikeOut(format.strike);
    if (format.halfPoints > 0)
        qtFormat.setFontPointSize(format.halfPoints / 2.0);
    if (!format.family.empty())
        qtFormat.setFontFamilies({toQString(format.family)});
    if (format.colour)
        qtFormat.setForeground(QColor(format.colour->red, format.colour->green, format.colour->blue));
    return qtFormat;
}

} // namespace

HelpWindow::HelpWindow(frmHelp& presenter)
    : QWidget(nullptr, kToolWindowFlags),
      presenter_(&presenter)
{
    const auto controls = buildWindow(this, frmHelpLayout());
    setWindowIcon(helpIcon());
    keepOffTaskBar(this);
    connectButtons(this, controls, frmHelpLayout(), [this](std::string_view button) { press(button); });
    helptxt_ = control<QTextEdit>(controls, "helptxt");
    // The text only informs: it can be selected and copied, not edited.
    helptxt_->setReadOnly(true);
    helptxt_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

void HelpWindow::setText(const std::string& text)
{
    helptxt_->setPlainText(toQString(text));
    helptxt_->moveCursor(QTextCursor::Start);
}

void HelpWindow::setRuns(const std::vector<RtfRun>& runs)
{
    helptxt_->clear();
    QTextCursor cursor(helptxt_->document());
    cursor.beginEditBlock();
    for (const RtfRun& run : runs)
        cursor.insertText(toQString(run.text), charFormat(run.format));
    cursor.endEditBlock();
    helptxt_->moveCursor(QTextCursor::Start);
}

void HelpWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
    deliver(&frmHelp::onCloseRequest);
}

void HelpWindow::deliver(void (frmHelp::*handler)())
{
    if (presenter_)
        (presenter_->*handler)();
}

void HelpWindow::press(std::string_view button)
{
    if (presenter_)
        pressButton(*presenter_, button);
}

AboutWindow::AboutWindow(frmAbout& presenter)
    : QDialog(nullptr, kToolWindowFlags),
      presenter_(&presenter)
{
    const auto controls = buildWindow(this, frmAboutLayout());
    setWindowIcon(loadIcon("info"));
    setSizeGripEnabled(false);
    keepOffTaskBar(this);
    // The labels are black by design and the etched lines grey and white: the box keeps the
    // light dialog face they were drawn for, whatever the desktop's colours.
    setPalette(QPalette(QColor(kDialogFace)));
    QWidget* client = findChild<QWidget*>(QStringLiteral("client"));
    const double twipsPerPixel = screenTwipsPerPixel();

    auto* picture = control<QLabel>(controls, "picIcon");
    const QPixmap product = productPicture();
    picture->setPixmap(product);
    if (!product.isNull())
        picture->resize(product.size()); // sized to its picture

    QPalette black = palette();
    black.setColor(QPalette::WindowText, Qt::black);
    for (const std::string_view name : frmAboutBlackLabels())
        if (QWidget* label = controls.value(toQString(name)))
            label->setPalette(black);

    // Later lines lie over earlier ones: each grey line over its white one.
    for (const EtchedLine& line : frmAboutLines()) {
        auto* frame = new QWidget(client);
        frame->setObjectName(QStringLiteral("Line1(%1)").arg(line.index));
        const int left = twipsToPixels(line.x1, twipsPerPixel);
        frame->setGeometry(left, twipsToPixels(line.y, twipsPerPixel), twipsToPixels(line.x2, twipsPerPixel) - left,
                           line.widthPixels);
        QPalette colour = frame->palette();
        colour.setColor(QPalette::Window, QColor::fromRgb(line.rgb));
        frame->setPalette(colour);
        frame->setAutoFillBackground(true);
        frame->raise();
    }

    connectButtons(this, controls, frmAboutLayout(), [this](std::string_view button) { press(button); });
}

// The style caches what it draws under the palette's identity, and Qt gives the box's own
// palette a new one at every opening: without this the cache would grow by what one box draws
// at each opening, up to its limit of several MiB.
AboutWindow::~AboutWindow() { QPixmapCache::clear(); }

// Esc as the dialog itself takes it, should any reach it.
void AboutWindow::reject() { press(frmAboutLayout().keys.cancelButton); }

void AboutWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
    deliver(&frmAbout::onCloseRequest);
}

void AboutWindow::deliver(void (frmAbout::*handler)())
{
    if (presenter_)
        (presenter_->*handler)();
}

void AboutWindow::press(std::string_view button)
{
    if (presenter_)
        pressButton(*presenter_, button);
}

} // namespace latchsweep::qt
