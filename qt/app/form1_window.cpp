#include "qt/app/form1_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPointer>
#include <QVBoxLayout>
#include <algorithm>

#include "qt/app/controls.h"
#include "qt/app/icons.h"
#include "qt/app/menus.h"
#include "qt/app/qt_platform.h"
#include "qt/app/x11_desktop.h"

namespace latchsweep::qt {
namespace {

QMenuBar* addRow(QWidget* rows)
{
    auto* row = new QMenuBar(rows);
    row->setNativeMenuBar(false);
    row->setAccessibleName(rows->window()->windowTitle()); // the bar of that window
    rows->layout()->addWidget(row);
    return row;
}

// Whether the entry stands whole on its row at the row's given width, or Qt would move it
// behind the row's extension button.
bool fitsOnRow(QMenuBar* row, QAction* entry, int width)
{
    row->ensurePolished();
    row->resize(width, row->sizeHint().height());
    const QRect at = row->actionGeometry(entry);
    return at.isValid() && row->rect().contains(at);
}

void sendKey(QWidget* to, Qt::Key key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(to, &press);
}

// Selects the first entry of a row as Alt does: the row's own filter on its window arms at the
// key's override and selects on its release, keeping the focus to give back.
void selectAsAltDoes(QMenuBar* row)
{
    // (A key event of Alt itself reports the Alt modifier flipped: none given is Alt held.)
    QKeyEvent override(QEvent::ShortcutOverride, Qt::Key_Alt, Qt::NoModifier);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
    QObject* filter = row;
    filter->eventFilter(row->window(), &override);
    filter->eventFilter(row->window(), &release);
}

} // namespace

Form1Window::Form1Window(Form1& presenter)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                               Qt::WindowCloseButtonHint),
      presenter_(&presenter),
      twipsPerPixel_(screenTwipsPerPixel()),
      client_(new QWidget(this))
{
    const WindowLayout& windowLayout = form1Layout();
    setObjectName(toQString(windowLayout.name));
    setWindowTitle(toQString(windowLayout.caption));
    client_->setObjectName(QStringLiteral("client"));
    setCentralWidget(client_);
    buildMenuBar();

    const auto controls = buildControls(client_, windowLayout, twipsPerPixel_);
    connectButtons(this, controls, windowLayout,
                   [this](std::string_view button) { deliver([button](Form1& form) { pressButton(form, button); }); });
    setFocusProxy(controls.value(toQString(initialFocus(windowLayout))));
    // The window itself is fitted around the client area at its first showing (setVisible): the
    // load step adds the tray icon in between, so the icon does not wait for the fonts.
    fixClientAreaSize(client_, windowLayout, twipsPerPixel_);

    // Every mouse-move over the window reaches the tray callback's decoding, as on the platform.
    setMouseTracking(true);
    client_->setMouseTracking(true);
    client_->installEventFilter(this);

    const QIcon design = applicationIcon();
    QMainWindow::setWindowIcon(design);
    icon_ = IconTable::instance().add(design);
    for (const QIcon& frame : animationFrames())
        frames_.push_back(IconTable::instance().add(frame));
    winId(); // a native window now, so that its handle is fixed from the load step on
}

Form1Window::~Form1Window() = default;

void Form1Window::buildMenuBar()
{
    // Qt's menu bar does not wrap: an entry that does not fit goes behind a "»" button. This bar
    // wraps as the platform's does, in rows of their own menu bars (wrapMenuBar()).
    auto* rows = new QWidget(this);
    rows->setObjectName(QStringLiteral("menuBar"));
    auto* layout = new QVBoxLayout(rows);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    setMenuWidget(rows);
    addMenuItems(addRow(rows), mainMenuBar());
    onMenuCommands(rows, [this](Command command) { deliver([command](Form1& form) { form.onCommand(command); }); });
}

void Form1Window::wrapMenuBar()
{
    // An entry that does not fit beside those before it starts the next row, so the wide
    // Minimize stands on the bar itself. Measuring loads the menu font: done at the first
    // showing, after the load step has put the icon in the notification area.
    const int width = twipsToPixels(form1Layout().clientWidth, twipsPerPixel_);
    QMenuBar* row = menuBarRows().front();
    const QList<QAction*> entries = row->actions();
    for (QAction* entry : entries)
        row->removeAction(entry);
    for (QAction* entry : entries) {
        row->addAction(entry);
        if (row->actions().size() > 1 && !fitsOnRow(row, entry, width)) {
            row->removeAction(entry);
            row = addRow(menuWidget());
            row->addAction(entry);
        }
    }
    // To the keyboard the rows are one bar: Alt selects the first row alone (every row would take
    // it, and the next would take the focus back), and the arrow keys go on from row to row.
    const std::vector<QMenuBar*> rows = menuBarRows();
    for (QMenuBar* each : rows) {
        each->installEventFilter(this);
        if (each != rows.front())
            for (QWidget* up = each->parentWidget(); up; up = up->parentWidget())
                up->removeEventFilter(each);
    }
}

bool Form1Window::stepAlongBar(QMenuBar* row, int step)
{
    const std::vector<QMenuBar*> rows = menuBarRows();
    QAction* current = row->activeAction();
    if (rows.size() < 2 || !current)
        return false;
    std::vector<std::size_t> lengths;
    for (QMenuBar* each : rows)
        lengths.push_back(static_cast<std::size_t>(each->actions().size()));
    const BarPlace from{static_cast<std::size_t>(std::find(rows.begin(), rows.end(), row) - rows.begin()),
                        static_cast<std::size_t>(row->actions().indexOf(current))};
    const BarPlace to = latchsweep::stepAlongBar(lengths, from, step);
    if (to.row == from.row)
        return false;
    // As along one bar, menus stay open on the way past an entry without one.
    const bool open = current->menu() ? current->menu()->isVisible() : menusOpen_;
    menusOpen_ = open;
    sendKey(row, Qt::Key_Escape); // the row lets go of its entry, its menu and the focus
    // A menu closes and gives the focus back once its own key handling is over: the next row
    // takes the keyboard after that, so that it gives the focus back to the window's widget.
    QMetaObject::invokeMethod(
        this,
        [next = QPointer<QMenuBar>(rows[to.row]), entry = to.entry, open] {
            if (!next)
                return;
            selectAsAltDoes(next);
            for (std::size_t moved = 0; moved < entry; ++moved)
                sendKey(next, Qt::Key_Right);
            if (open)
                sendKey(next, Qt::Key_Down);
        },
        Qt::QueuedConnection);
    return true;
}

std::vector<QMenuBar*> Form1Window::menuBarRows() const
{
    std::vector<QMenuBar*> rows;
    for (QObject* child : menuWidget()->children())
        if (auto* row = qobject_cast<QMenuBar*>(child))
            rows.push_back(row);
    return rows;
}

void Form1Window::present()
{
    QMainWindow::show();
    if (!placed_) {
        placed_ = true;
        placeOnFirstShowing(this, form1Layout(), twipsPerPixel_);
        // A window manager frames the window only once it is mapped: placed again, frame and
        // all, when the frame is known (see event()).
        framePending_ = true;
    }
    raise();
    activateWindow();
}

bool Form1Window::event(QEvent* event)
{
    // The window manager's frame is known once it has configured the framed window, which comes
    // before the window is first painted; it may keep the window itself where it was, so that
    // no move follows.
    if (framePending_ && (event->type() == QEvent::Move || event->type() == QEvent::Paint) &&
        frameGeometry().size() != size()) {
        framePending_ = false;
        placeOnFirstShowing(this, form1Layout(), twipsPerPixel_);
    }
    return QMainWindow::event(event);
}

WindowHandle Form1Window::handle() const { return static_cast<WindowHandle>(winId()); }

void Form1Window::setIcon(IconHandle icon)
{
    icon_ = icon;
    QMainWindow::setWindowIcon(IconTable::instance().icon(icon));
}

void Form1Window::setMinimized(bool minimized)
{
    if (!minimized) {
        // Whatever Qt has last heard from the window manager: a hidden window comes back normal.
        returning_ = !isVisible() || (windowState() & Qt::WindowMinimized);
        if (!isVisible())
            setNormalInitialState(*this);
    }
    setWindowState(minimized ? (windowState() | Qt::WindowMinimized) : (windowState() & ~Qt::WindowMinimized));
}

void Form1Window::setVisible(bool visible)
{
    // Only a window coming back is brought to the front: one already shown normal keeps its
    // place in the stack, and the focus stays where the user has it.
    const bool appearing = visible && (!isVisible() || returning_);
    if (visible)
        returning_ = false;
    if (visible && !fitted_) {
        fitted_ = true;
        wrapMenuBar();
        fitWindowToClient(this);
    }
    // The base's setVisible is virtual too and called by show()/hide(); stay with the widget's own.
    QMainWindow::setVisible(visible);
    if (appearing && !(windowState() & Qt::WindowMinimized)) {
        raise();
        activateWindow();
    }
}

void Form1Window::closeEvent(QCloseEvent* event)
{
    // A close request always ends the program; it is never refused nor turned into hiding.
    event->accept();
    deliver(&Form1::onCloseRequest);
}

bool Form1Window::eventFilter(QObject* watched, QEvent* event)
{
    if (auto* row = qobject_cast<QMenuBar*>(watched)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (event->type() == QEvent::KeyPress && (key->key() == Qt::Key_Left || key->key() == Qt::Key_Right))
            return stepAlongBar(row, key->key() == Qt::Key_Left ? -1 : +1);
        // Alt on a later row leaves the bar, as on the first; the first row must not see it.
        if (event->type() == QEvent::ShortcutOverride && key->key() == Qt::Key_Alt && row->activeAction() &&
            row != menuBarRows().front()) {
            sendKey(row, Qt::Key_Escape);
            event->accept(); // or it would go on to the window, and on to the first row
            return true;
        }
        return false;
    }
    // The window's own mouse-move: over its client area, not over its controls. A drag that
    // leaves the window keeps sending moves beyond its edge; 515 or 517 pixels to the right they
    // would decode as a tray callback, so only moves inside the client area count.
    if (watched == client_ && event->type() == QEvent::MouseMove) {
        const auto* move = static_cast<QMouseEvent*>(event);
        if (client_->rect().contains(move->position().toPoint()))
            deliverMouseMove(move->position().x() * twipsPerPixel_);
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace latchsweep::qt
