#include "qt/app/form_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPixmapCache>
#include <QVBoxLayout>

#include "core/base/menu.h"
#include "qt/app/controls.h"
#include "qt/app/icons.h"
#include "qt/app/menus.h"
#include "qt/app/qt_platform.h"
#include "qt/app/x11_desktop.h"

namespace latchsweep::qt {
namespace {

// A fixed frame with a close box and no minimise or maximise box. A plain top-level window with
// no owner: on X11, Qt makes a Qt::Tool window transient for the whole program, and window
// managers such as xfwm4 then minimise it together with the main window, out of reach since it
// has no task-bar button.
constexpr Qt::WindowFlags kFixedFrame =
    Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;

constexpr QRgb kDialogFace = qRgb(240, 240, 240);

QMenuBar* addRow(QWidget* rows)
{
    auto* row = new QMenuBar(rows);
    row->setNativeMenuBar(false);
    row->setAccessibleName(rows->window()->windowTitle()); // the bar of that window
    rows->layout()->addWidget(row);
    return row;
}

void sendKey(QWidget* to, Qt::Key key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(to, &press);
}

} // namespace

// The widget behind a FormWindow: a fixed-size window with a client area of the layout's size,
// under the layout's menu bar where it has one.
class FormWidget : public QMainWindow {
public:
    FormWidget(const WindowLayout& windowLayout, FormEvents& events);
    ~FormWidget() override;

    // The presenter is gone: the window only waits for its deletion.
    void detach() { target_.events = nullptr; }

    [[nodiscard]] QWidget* control(ControlId id) const { return controls_.value(toQString(id.name)); }
    [[nodiscard]] double twipsPerPixel() const { return twipsPerPixel_; }
    // Shows the window and brings it to the front; at its first showing it is placed as its
    // layout says.
    void present();
    void setMinimized(bool minimized);
    // Only a window coming back is brought to the front: one already shown normal keeps its place
    // in the stack, and the focus stays where the user has it.
    void setVisible(bool visible) override;
    Command popup() { return popup_ ? menuCommand(popup_->exec(QCursor::pos())) : Command::None; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fit();
    void wrapMenuBar();
    // The arrow keys on a row of the bar: a step that leaves the row goes on to the row the core
    // names, with a menu opened on the way opened there too. False leaves the step to the row.
    bool stepAlongBar(QMenuBar* row, int step);
    // The rows of the menu bar, top to bottom; each is a menu bar of its own. (QMainWindow's
    // menuBar() would replace them all with a new, empty bar.)
    [[nodiscard]] QList<QMenuBar*> menuBarRows() const
    {
        return menuWidget()->findChildren<QMenuBar*>(Qt::FindDirectChildrenOnly);
    }

    const WindowLayout& layout_;
    EventTarget target_;
    double twipsPerPixel_;
    QWidget* client_;
    QHash<QString, QWidget*> controls_;
    QMenu* popup_ = nullptr;
    bool fitted_ = false; // fixed at the size of its client area and menu bar, once
    bool placed_ = false;
    bool framePending_ = false; // placed before a window manager framed it
    bool returning_ = false;    // leaving the minimised state: the next showing brings it to the front
    bool menusOpen_ = false;    // the arrow keys came to an entry without a menu from an open one
};

FormWidget::FormWidget(const WindowLayout& windowLayout, FormEvents& events)
    : QMainWindow(nullptr, kFixedFrame),
      layout_(windowLayout),
      target_{&events},
      twipsPerPixel_(screenTwipsPerPixel()),
      client_(new QWidget(this))
{
    setObjectName(toQString(windowLayout.name));
    setWindowTitle(toQString(windowLayout.caption));
    QMainWindow::setWindowIcon(iconOf(windowLayout.icon));
    if (windowLayout.classicFace)
        setPalette(QPalette(QColor(kDialogFace)));
    if (windowLayout.frame == WindowFrame::Dialog)
        keepOffTaskBar(this);
    client_->setObjectName(QStringLiteral("client"));
    setCentralWidget(client_);
    if (!windowLayout.menuBar.empty()) {
        // Qt's menu bar does not wrap: an entry that does not fit goes behind a "»" button. This bar
        // wraps as the platform's does, in rows of their own menu bars (wrapMenuBar()).
        auto* rows = new QWidget(this);
        rows->setObjectName(QStringLiteral("menuBar"));
        auto* layout = new QVBoxLayout(rows);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        setMenuWidget(rows);
        addMenuItems(addRow(rows), layout_.menuBar);
        onMenuCommands(rows,
                       [this](Command command) { target_([command](FormEvents& form) { form.onCommand(command); }); });
    }
    if (windowLayout.popup)
        popup_ = buildMenu(*windowLayout.popup, this, this);
    controls_ = buildControls(client_, windowLayout, twipsPerPixel_, target_);
    // Later lines lie over earlier ones: each grey line over its white one.
    for (const EtchedLine& line : layout_.lines) {
        auto* drawn = new QWidget(client_);
        const int left = twipsToPixels(line.x1, twipsPerPixel_);
        drawn->setGeometry(left, twipsToPixels(line.y, twipsPerPixel_), twipsToPixels(line.x2, twipsPerPixel_) - left,
                           line.widthPixels);
        QPalette colour = drawn->palette();
        colour.setColor(QPalette::Window, QColor::fromRgb(line.rgb));
        drawn->setPalette(colour);
        drawn->setAutoFillBackground(true);
        drawn->raise();
    }
    // The window itself is fitted around the client area at its first showing (setVisible): the
    // main window's load step adds the tray icon in between, so the icon does not wait for the
    // fonts that measuring the menu bar loads.
    client_->setFixedSize(twipsToPixels(windowLayout.clientWidth, twipsPerPixel_),
                          twipsToPixels(windowLayout.clientHeight, twipsPerPixel_));
    if (windowLayout.ownsTrayIcon) {
        // Every mouse-move over the window reaches the tray callback's decoding, as on the platform.
        setMouseTracking(true);
        client_->setMouseTracking(true);
        client_->installEventFilter(this);
    }
}

// A window that keeps its own palette: the style caches what it draws under the palette's
// identity, and Qt gives that palette a new one at every opening. Without this the cache would
// grow by what one window draws at each opening, up to its limit of several MiB.
FormWidget::~FormWidget()
{
    if (layout_.classicFace)
        QPixmapCache::clear();
}

void FormWidget::wrapMenuBar()
{
    // An entry that does not stand whole beside those before it (Qt would move it behind the
    // row's extension button) starts the next row, so that a wide entry stands on the bar itself.
    const int width = twipsToPixels(layout_.clientWidth, twipsPerPixel_);
    QMenuBar* row = menuBarRows().front();
    const QList<QAction*> entries = row->actions();
    for (QAction* entry : entries)
        row->removeAction(entry);
    for (QAction* entry : entries) {
        row->addAction(entry);
        if (row->actions().size() == 1)
            continue;
        row->ensurePolished();
        row->resize(width, row->sizeHint().height());
        if (const QRect at = row->actionGeometry(entry); !at.isValid() || !row->rect().contains(at)) {
            row->removeAction(entry);
            row = addRow(menuWidget());
            row->addAction(entry);
        }
    }
    // To the keyboard the rows are one bar: Alt selects the first row alone (every row would take
    // it, and the next would take the focus back), and the arrow keys go on from row to row.
    const QList<QMenuBar*> rows = menuBarRows();
    for (QMenuBar* each : rows) {
        each->installEventFilter(this);
        if (each != rows.front())
            for (QWidget* up = each->parentWidget(); up; up = up->parentWidget())
                up->removeEventFilter(each);
    }
}

bool FormWidget::stepAlongBar(QMenuBar* row, int step)
{
    const QList<QMenuBar*> rows = menuBarRows();
    QAction* current = row->activeAction();
    if (rows.size() < 2 || !current)
        return false;
    std::vector<std::size_t> lengths;
    for (QMenuBar* each : rows)
        lengths.push_back(static_cast<std::size_t>(each->actions().size()));
    const BarPlace from{static_cast<std::size_t>(rows.indexOf(row)),
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
        [next = QPointer<QMenuBar>(rows[static_cast<qsizetype>(to.row)]), entry = to.entry, open] {
            if (!next)
                return;
            // The first entry selected as Alt does: the row's own filter on its window arms at the
            // key's override and selects on its release, keeping the focus to give back. (A key
            // event of Alt itself reports the Alt modifier flipped: none given is Alt held.)
            QKeyEvent override(QEvent::ShortcutOverride, Qt::Key_Alt, Qt::NoModifier);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
            QObject* filter = next.data();
            filter->eventFilter(next->window(), &override);
            filter->eventFilter(next->window(), &release);
            for (std::size_t moved = 0; moved < entry; ++moved)
                sendKey(next, Qt::Key_Right);
            if (open)
                sendKey(next, Qt::Key_Down);
        },
        Qt::QueuedConnection);
    return true;
}

void FormWidget::present()
{
    if (layout_.frame == WindowFrame::None)
        return; // it only carries a pop-up menu
    if (!placed_) {
        placed_ = true;
        fit(); // at the size the placement needs
        placeOnFirstShowing(this, layout_, twipsPerPixel_);
        // A window manager frames the window only once it is mapped: placed again, frame and
        // all, when the frame is known (see event()).
        framePending_ = true;
    }
    show();
    raise();
    activateWindow();
}

bool FormWidget::event(QEvent* event)
{
    // The window manager's frame is known once it has configured the framed window, which comes
    // before the window is first painted; it may keep the window itself where it was, so that
    // no move follows.
    if (framePending_ && (event->type() == QEvent::Move || event->type() == QEvent::Paint) &&
        frameGeometry().size() != size()) {
        framePending_ = false;
        placeOnFirstShowing(this, layout_, twipsPerPixel_);
    }
    return QMainWindow::event(event);
}

void FormWidget::setMinimized(bool minimized)
{
    if (!minimized) {
        // Whatever Qt has last heard from the window manager: a hidden window comes back normal.
        returning_ = !isVisible() || (windowState() & Qt::WindowMinimized);
        if (!isVisible())
            setNormalInitialState(*this);
    }
    setWindowState(windowState().setFlag(Qt::WindowMinimized, minimized));
}

void FormWidget::setVisible(bool visible)
{
    const bool appearing = visible && (!isVisible() || returning_);
    if (visible)
        returning_ = false;
    if (visible)
        fit();
    // The base's setVisible is virtual too and called by show()/hide(); stay with the widget's own.
    QMainWindow::setVisible(visible);
    if (appearing && !(windowState() & Qt::WindowMinimized)) {
        raise();
        activateWindow();
    }
}

void FormWidget::fit()
{
    if (fitted_)
        return;
    fitted_ = true;
    if (!layout_.menuBar.empty())
        wrapMenuBar();
    adjustSize();
    setFixedSize(sizeHint());
}

void FormWidget::closeEvent(QCloseEvent* event)
{
    // The presenter decides what a close request does; the window never refuses it itself.
    event->accept();
    target_([](FormEvents& form) { form.onClose(); });
}

// Enter and Esc press the buttons the layout gives them, for keys that the control with the focus
// leaves to its window (a list opens its entry on Enter itself).
void FormWidget::keyPressEvent(QKeyEvent* event)
{
    std::string_view button;
    if (!(event->modifiers() & ~Qt::KeypadModifier)) {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            const QWidget* focus = focusWidget();
            button = buttonForEnter(layout_, focus ? focus->objectName().toStdString() : std::string());
        } else if (event->key() == Qt::Key_Escape) {
            button = layout_.keys.cancelButton;
        }
    }
    if (button.empty())
        return QMainWindow::keyPressEvent(event);
    target_([button](FormEvents& form) { form.onClick({button}); }); // may discard the window
}

bool FormWidget::eventFilter(QObject* watched, QEvent* event)
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
    // Only the left button chooses an item of the pop-up. A right click outside still dismisses it.
    if (auto* menu = qobject_cast<QMenu*>(watched);
        menu && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease ||
                 event->type() == QEvent::MouseButtonDblClick)) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        return mouse->button() == Qt::RightButton && menu->rect().contains(mouse->position().toPoint());
    }
    // The window's own mouse-move: over its client area, not over its controls. A drag that
    // leaves the window keeps sending moves beyond its edge; 515 or 517 pixels to the right they
    // would decode as a tray callback, so only moves inside the client area count.
    if (watched == client_ && event->type() == QEvent::MouseMove) {
        const QPointF at = static_cast<QMouseEvent*>(event)->position();
        if (client_->rect().contains(at.toPoint()))
            target_([x = at.x() * twipsPerPixel_](FormEvents& form) { form.onMouseMove(x); });
    }
    return QMainWindow::eventFilter(watched, event);
}

FormWindow::FormWindow(const WindowLayout& windowLayout, FormEvents& events)
    : widget_(new FormWidget(windowLayout, events)),
      windowIcon_(IconTable::instance().handle(windowLayout.icon))
{}

FormWindow::~FormWindow()
{
    if (!widget_)
        return;
    widget_->detach();
    widget_->hide();
    widget_->deleteLater();
}

void FormWindow::show()
{
    if (widget_)
        widget_->present();
}

bool FormWindow::isShown() const { return widget_ && widget_->isVisible(); }

QWidget* FormWindow::control(ControlId id) const { return widget_ ? widget_->control(id) : nullptr; }

void FormWindow::setText(ControlId id, const std::string& text) { setControlText(control(id), toQString(text)); }

std::string FormWindow::text(ControlId id) const { return controlText(control(id)).toStdString(); }

void FormWindow::setRuns(ControlId box, const std::vector<RtfRun>& runs) { setControlRuns(control(box), runs); }

void FormWindow::setEntries(ControlId list, const std::vector<DirectoryEntry>& entries, std::size_t current)
{
    setControlEntries(control(list), entries, current);
}

WindowHandle FormWindow::handle() const { return widget_ ? static_cast<WindowHandle>(widget_->winId()) : 0; }

IconHandle FormWindow::icon(IconId icon) const { return IconTable::instance().handle(icon); }

void FormWindow::setWindowIcon(IconHandle icon)
{
    windowIcon_ = icon;
    if (widget_)
        widget_->setWindowIcon(IconTable::instance().icon(icon));
}

void FormWindow::setMinimized(bool minimized)
{
    if (widget_)
        widget_->setMinimized(minimized);
}

void FormWindow::setVisible(bool visible)
{
    if (widget_)
        widget_->setVisible(visible);
}

double FormWindow::twipsPerPixelX() const { return widget_ ? widget_->twipsPerPixel() : kDefaultTwipsPerPixel; }

Command FormWindow::popup() { return widget_ ? widget_->popup() : Command::None; }

QMainWindow* FormWindow::widget() const { return widget_; }

} // namespace latchsweep::qt
