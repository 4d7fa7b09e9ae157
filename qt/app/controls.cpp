#include "qt/app/controls.h"

#include <QFontMetricsF>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTextEdit>
#include <algorithm>
#include <limits>

#include "core/base/placement.h"
#include "qt/app/icons.h"
#include "qt/app/qt_platform.h"

namespace latchsweep::qt {

double screenTwipsPerPixel()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return twipsPerPixelForDpi(screen ? screen->logicalDotsPerInchX() : 96.0);
}

namespace {

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

constexpr int kDepthRole = Qt::UserRole + 1;
constexpr int kIndentPixels = 12;

// Shifts each entry right by its depth, so that the list reads as the tree around the path.
class IndentDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem shifted(option);
        shifted.rect.setLeft(shifted.rect.left() + indent(index));
        QStyledItemDelegate::paint(painter, shifted, index);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.rwidth() += indent(index);
        return size;
    }

private:
    static int indent(const QModelIndex& index) { return index.data(kDepthRole).toInt() * kIndentPixels; }
};

// A directory list: open folders for the current directory and its ancestors, closed ones for
// the rest. Highlighting an entry (arrow keys, a single click, type-ahead) changes nothing; a
// double-click or Enter opens it.
class DirectoryListBox : public QListWidget {
public:
    DirectoryListBox(QWidget* parent, std::function<void(std::size_t)> open)
        : QListWidget(parent),
          open_(std::move(open))
    {
        setItemDelegate(new IndentDelegate(this));
        setSelectionMode(QAbstractItemView::SingleSelection);
        setEditTriggers(QAbstractItemView::NoEditTriggers);
        setUniformItemSizes(true);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter)
            return QListWidget::keyPressEvent(event);
        event->accept();
        open(currentRow());
    }

    void mouseDoubleClickEvent(QMouseEvent* event) override
    {
        // Handled here rather than through `activated`, which some styles emit on a single click.
        const QModelIndex index = indexAt(event->position().toPoint());
        if (event->button() != Qt::LeftButton || !index.isValid())
            return QListWidget::mouseDoubleClickEvent(event);
        event->accept();
        open(index.row());
    }

private:
    // Opening lists the opened directory, which replaces every item of this list.
    void open(int row)
    {
        if (row >= 0)
            open_(static_cast<std::size_t>(row));
    }

    std::function<void(std::size_t)> open_;
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

QWidget* textBox(const ControlLayout& control, QWidget* parent, const EventTarget& target)
{
    const ControlTraits& traits = control.traits;
    const auto edited = [&target, id = ControlId{control.name}] {
        target([id](FormEvents& events) { events.onEdit(id); });
    };
    if (!traits.multiLine) {
        auto* line = new QLineEdit(toQString(control.text), parent);
        line->setMaxLength(std::numeric_limits<int>::max());
        line->setCursorPosition(0);
        line->setReadOnly(traits.readOnly);
        line->setFrame(traits.border != Border::None);
        // Only the user's typing is an edit: setText() is not.
        QObject::connect(line, &QLineEdit::textEdited, line, edited);
        return line;
    }
    auto* box = new QTextEdit(parent);
    box->setPlainText(toQString(control.text));
    if (traits.readOnly) {
        // The text only informs: it can be selected and copied, not edited.
        box->setReadOnly(true);
        box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    } else {
        QObject::connect(box, &QTextEdit::textChanged, box, edited);
    }
    if (traits.border == Border::None) {
        // A box without an edge reads like a label: no scroll bars either.
        box->setFrameShape(QFrame::NoFrame);
        box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }
    if (traits.onButtonFace) {
        box->viewport()->setAutoFillBackground(false);
        box->setStyleSheet(QStringLiteral("QTextEdit { background: palette(button); }"));
    }
    return box;
}

QWidget* create(const ControlLayout& control, QWidget* parent, const EventTarget& target)
{
    const QString text = toQString(control.text);
    const ControlId id{control.name};
    switch (control.kind) {
    case ControlKind::Frame:
        return new FrameBox(text, parent);
    case ControlKind::Button: {
        auto* button = new QPushButton(text, parent);
        QObject::connect(button, &QPushButton::clicked, button,
                         [&target, id] { target([id](FormEvents& events) { events.onClick(id); }); });
        return button;
    }
    case ControlKind::Label: {
        auto* label = new QLabel(text, parent);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        if (control.traits.black) {
            QPalette black = label->palette();
            black.setColor(QPalette::WindowText, Qt::black);
            label->setPalette(black);
        }
        return label;
    }
    case ControlKind::Picture: {
        auto* picture = new QLabel(parent);
        picture->setPixmap(pictureOf(control.traits.picture));
        return picture;
    }
    case ControlKind::Line: {
        auto* line = new QFrame(parent);
        line->setFrameShape(QFrame::NoFrame);
        return line;
    }
    case ControlKind::RichText:
        return textBox(control, parent, target);
    case ControlKind::DirectoryList:
        return new DirectoryListBox(parent, [&target, id](std::size_t entry) {
            target([id, entry](FormEvents& events) { events.onOpen(id, entry); });
        });
    }
    return new QWidget(parent);
}

// A one-line caption whose substitute font is wider than the original design's, where a control
// beside it begins before the caption ends: a step smaller rather than wrapped onto a second line
// that the label's height cuts off, or run under its neighbour.
void fitOnOneLine(QLabel* label)
{
    constexpr double kSmallestPoints = 6.0;
    const QRect area = label->geometry();
    int room = area.width();
    for (const QWidget* sibling : label->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const QRect other = sibling->geometry();
        if (sibling != label && other.left() > area.left() && other.top() < area.bottom() &&
            other.bottom() > area.top())
            room = std::min(room, other.left() - area.left());
    }
    QFont font = label->font();
    if (room == area.width() || QFontMetricsF(font).horizontalAdvance(label->text()) <= room)
        return;
    label->setWordWrap(false);
    while (QFontMetricsF(font).horizontalAdvance(label->text()) > room && font.pointSizeF() > kSmallestPoints)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    label->setFont(font);
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

QHash<QString, QWidget*> buildControls(QWidget* client, const WindowLayout& windowLayout, double twipsPerPixel,
                                       const EventTarget& target)
{
    QHash<QString, QWidget*> controls;
    std::vector<QWidget*> widgets;
    for (const ControlLayout& control : windowLayout.controls) {
        QWidget* widget = create(control, controls.value(toQString(control.parent), client), target);
        widget->setObjectName(toQString(control.name));
        const TwipsRect& at = control.rect;
        widget->setGeometry(twipsToPixels(at.left, twipsPerPixel), twipsToPixels(at.top, twipsPerPixel),
                            twipsToPixels(at.width, twipsPerPixel), twipsToPixels(at.height, twipsPerPixel));
        widget->setFont(fontOf(control.font));
        if (const auto* picture = qobject_cast<QLabel*>(widget); picture && !picture->pixmap().isNull())
            widget->resize(picture->pixmap().size()); // sized to its picture
        if (auto* button = qobject_cast<QPushButton*>(widget)) {
            // The platform's own default-button handling stays out: the window presses the layout's
            // buttons on Enter and Esc; the default one is only drawn as such.
            button->setAutoDefault(false);
            button->setDefault(control.name == windowLayout.keys.defaultButton);
        }
        controls.insert(widget->objectName(), widget);
        widgets.push_back(widget);
    }
    for (const ControlLayout& control : windowLayout.controls) {
        QWidget* widget = controls.value(toQString(control.name));
        widget->setAccessibleName(toQString(accessibleName(windowLayout, control)));
        // The label's buddy is what Qt reports to assistive technology as "labelled by".
        if (auto* label = qobject_cast<QLabel*>(controls.value(toQString(control.labelledBy))))
            label->setBuddy(widget);
        if (auto* label = qobject_cast<QLabel*>(widget); label && control.kind == ControlKind::Label)
            fitOnOneLine(label);
    }
    const std::vector<std::size_t> order = focusOrder(windowLayout);
    for (std::size_t i = 0; i < widgets.size(); ++i)
        if (std::ranges::find(order, i) == order.end())
            widgets[i]->setFocusPolicy(Qt::NoFocus);
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(widgets[order[i - 1]], widgets[order[i]]);
    if (QWidget* first = controls.value(toQString(initialFocus(windowLayout)))) {
        client->window()->setFocusProxy(first);
        first->setFocus(Qt::OtherFocusReason);
    }
    return controls;
}

void setControlText(QWidget* control, const QString& text)
{
    if (auto* box = qobject_cast<QTextEdit*>(control)) {
        const QSignalBlocker notEdited(box);
        box->setPlainText(text);
        box->moveCursor(QTextCursor::Start);
    } else if (auto* line = qobject_cast<QLineEdit*>(control)) {
        line->setText(text); // no textEdited, and the modified flag cleared
        line->setCursorPosition(0);
    } else if (auto* frame = qobject_cast<QGroupBox*>(control)) {
        frame->setTitle(text);
    } else if (control) {
        control->setProperty("text", text);
    }
}

QString controlText(const QWidget* control)
{
    if (const auto* box = qobject_cast<const QTextEdit*>(control))
        return box->toPlainText();
    if (const auto* frame = qobject_cast<const QGroupBox*>(control))
        return frame->title();
    return control ? control->property("text").toString() : QString();
}

void setControlRuns(QWidget* control, const std::vector<RtfRun>& runs)
{
    auto* box = qobject_cast<QTextEdit*>(control);
    if (!box)
        return;
    const QSignalBlocker notEdited(box);
    box->clear();
    QTextCursor cursor(box->document());
    cursor.beginEditBlock();
    for (const RtfRun& run : runs)
        cursor.insertText(toQString(run.text), charFormat(run.format));
    cursor.endEditBlock();
    box->moveCursor(QTextCursor::Start);
}

void setControlEntries(QWidget* control, const std::vector<DirectoryEntry>& entries, std::size_t current)
{
    auto* list = qobject_cast<QListWidget*>(control);
    if (!list)
        return;
    const QIcon openFolder = list->style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedFolder = list->style()->standardIcon(QStyle::SP_DirClosedIcon);
    list->clear();
    for (const DirectoryEntry& entry : entries) {
        auto* item = new QListWidgetItem(entry.open ? openFolder : closedFolder, toQString(entry.name), list);
        item->setData(kDepthRole, entry.depth);
        item->setToolTip(toQString(entry.path));
    }
    if (current < entries.size()) {
        list->setCurrentRow(static_cast<int>(current));
        list->scrollToItem(list->currentItem());
    }
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

} // namespace latchsweep::qt
