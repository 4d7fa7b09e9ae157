#include "qt/settings/settings_views.h"

#include <QCloseEvent>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTextEdit>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

#include "qt/app/controls.h"
#include "qt/app/icons.h"
#include "qt/app/qt_platform.h"
#include "qt/app/window_adapter.h"
#include "qt/settings/directory_list_widget.h"

namespace latchsweep::qt {
namespace {

constexpr Qt::WindowFlags kFixedDialogFlags =
    Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;

// Puts `replacement` where the generic control of that name stood: same container, name,
// geometry, font, place in the tab order, accessible name and label.
template <class Widget>
Widget* replaceControl(QHash<QString, QWidget*>& controls, const char* name, Widget* replacement)
{
    QWidget* old = controls.value(QString::fromLatin1(name));
    replacement->setParent(old->parentWidget());
    replacement->setObjectName(old->objectName());
    replacement->setGeometry(old->geometry());
    replacement->setFont(old->font());
    QWidget::setTabOrder(old, replacement);
    replacement->setAccessibleName(old->accessibleName());
    for (QLabel* label : old->parentWidget()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
        if (label->buddy() == old)
            label->setBuddy(replacement);
    controls.insert(replacement->objectName(), replacement);
    delete old;
    return replacement;
}

// A one-line caption whose substitute font is wider than the original design's: a step smaller
// rather than wrapped onto a second line that the label's height cuts off. The room ends where a
// control beside it begins, since the layout lets the label run under its neighbour.
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
    label->setWordWrap(false);
    QFont font = label->font();
    while (QFontMetricsF(font).horizontalAdvance(label->text()) > room && font.pointSizeF() > kSmallestPoints)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    label->setFont(font);
}

} // namespace

template <class Presenter>
SettingsWindow<Presenter>::SettingsWindow(Presenter& presenter, const WindowLayout& windowLayout, const char* icon)
    : QWidget(nullptr, kFixedDialogFlags),
      presenter_(&presenter),
      client_(new QWidget(this)),
      twipsPerPixel_(screenTwipsPerPixel())
{
    setObjectName(toQString(windowLayout.name));
    setWindowTitle(toQString(windowLayout.caption));
    setWindowIcon(loadIcon(icon));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(client_);
    client_->setObjectName(QStringLiteral("client"));
    controls_ = buildControls(client_, windowLayout, twipsPerPixel_);
    fixClientSize(this, client_, windowLayout, twipsPerPixel_);
}

template <class Presenter>
void SettingsWindow<Presenter>::connectButtons(const WindowLayout& windowLayout)
{
    qt::connectButtons(this, controls_, windowLayout, [this](std::string_view button) {
        deliver([button](Presenter& presenter) { pressButton(presenter, button); });
    });
}

template <class Presenter>
void SettingsWindow<Presenter>::closeEvent(QCloseEvent* event)
{
    event->accept();
    if (presenter_)
        presenter_->onClose();
}

template class SettingsWindow<Form2>;
template class SettingsWindow<Form3>;

Form2Window::Form2Window(Form2& presenter)
    : SettingsWindow(presenter, form2Layout(), "binoculars")
{
    MM2Dir_ = replaceControl(controls_, "MM2Dir", new DirectoryListWidget);
    MM2Dir_->onOpen = [this](std::size_t row) { deliver([row](Form2& form) { form.openDirectory(row); }); };
    fitOnOneLine(control<QLabel>(controls_, "Label1"));
    curmm2dir_ = control<QTextEdit>(controls_, "curmm2dir");
    // A display that reads like a label: flat, borderless, on the button face, no scroll bars.
    curmm2dir_->setReadOnly(true);
    curmm2dir_->setFrameShape(QFrame::NoFrame);
    curmm2dir_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    curmm2dir_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    curmm2dir_->viewport()->setAutoFillBackground(false);
    curmm2dir_->setStyleSheet(QStringLiteral("QTextEdit { background: palette(button); }"));
    connectButtons(form2Layout());
}

void Form2Window::showDirectories(const std::vector<DirectoryEntry>& entries, std::size_t current)
{
    MM2Dir_->setEntries(entries, current);
}

void Form2Window::setCurmm2dir(const std::string& text) { curmm2dir_->setPlainText(toQString(text)); }

Form3Window::Form3Window(Form3& presenter)
    : SettingsWindow(presenter, form3Layout(), "wastebin")
{
    // text1 is a single-line box: a line edit in place of the generic rich-text control.
    text1_ = replaceControl(controls_, "text1", new QLineEdit);
    text1_->setMaxLength(std::numeric_limits<int>::max());
    fitOnOneLine(control<QLabel>(controls_, "Label2"));
    setText1(Form3::kInitialDelay);
    connectButtons(form3Layout());
}

std::string Form3Window::text1() const { return toStdString(text1_->text()); }

bool Form3Window::text1Edited() const { return text1_->isModified(); }

void Form3Window::setText1(const std::string& text)
{
    text1_->setText(toQString(text)); // clears the modified flag
    text1_->setCursorPosition(0);
}

} // namespace latchsweep::qt
