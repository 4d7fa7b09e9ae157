// The one Qt window against every window the core describes: each is drawn as its layout says,
// every control kind shows its traits, and every event reaches the presenter.

#include <array>

#include "core/about/frm_about.h"
#include "core/about/frm_help.h"
#include "core/about/rtf.h"
#include "core/settings/form2.h"
#include "core/settings/form3.h"
#include "core/tray/form4.h"
#include "qt/app/icons.h"
#include "tests/qt/qt_test_support.h"

using namespace latchsweep;
using namespace latchsweep::qt::testing;

namespace {

std::array<const WindowLayout*, 6> layouts()
{
    return {&form1Layout(), &form2Layout(), &form3Layout(), &frmHelpLayout(), &frmAboutLayout(), &form4Layout()};
}

// A presenter that writes down each event it is told; `during` runs inside each, as a handler would.
struct Recorder final : FormEvents {
    QStringList seen;
    std::function<void()> during;

    void note(const QString& event)
    {
        seen << event;
        if (during)
            during();
    }
    void onClick(ControlId button) override { note("click " + toQString(button.name)); }
    void onOpen(ControlId list, std::size_t entry) override
    {
        note(QString("open %1 %2").arg(toQString(list.name)).arg(entry));
    }
    void onEdit(ControlId box) override { note("edit " + toQString(box.name)); }
    void onClose() override { note("close"); }
    void onCommand(Command command) override { note(QString("command %1").arg(int(command))); }
    void onMouseMove(double xTwips) override { note(QString("move %1").arg(xTwips)); }
    QStringList take() { return std::exchange(seen, {}); }
};

QStringList clickOf(std::string_view button)
{
    return button.empty() ? QStringList() : QStringList{"click " + toQString(button)};
}

// A frame as it is drawn: painted alone (without its controls), its top line (the first row
// drawn across its right half, where no caption stands) crosses none of its controls, and the
// caption's ink (left half, off that line) runs through it in no more room than the window's font.
void checkFrameDrawing(QGroupBox* frame)
{
    const QColor background = frame->palette().color(frame->backgroundRole());
    QImage image(frame->size(), QImage::Format_ARGB32);
    image.fill(background);
    frame->render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    const auto inked = [&](int x0, int x1, int y) {
        for (int x = x0; x < x1; ++x)
            if (image.pixelColor(x, y) != background)
                return true;
        return false;
    };
    int line = 0;
    while (line < image.height() && !inked(image.width() / 2, image.width() - 4, line))
        ++line;
    for (const QWidget* control : frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        QVERIFY2(line + 1 < control->y() || line > control->geometry().bottom(), qPrintable(control->objectName()));
    QList<int> rows;
    for (int y = 0; y < image.height() - 4; ++y)
        if (y != line && y != line + 1 && inked(4, image.width() / 2, y))
            rows << y;
    if (frame->title().isEmpty()) {
        QVERIFY(rows.isEmpty());
        return;
    }
    QVERIFY2(!rows.isEmpty() && rows.first() < line && rows.last() > line + 1, qPrintable(QString::number(line)));
    QVERIFY(rows.last() - rows.first() < QFontMetrics(frame->window()->font()).height());
}

// A control's traits as it shows them.
void checkTraits(QWidget* widget, const ControlLayout& control)
{
    const ControlTraits& traits = control.traits;
    const QString name = toQString(control.name);
    switch (control.kind) {
    case ControlKind::RichText:
        if (auto* box = qobject_cast<QTextEdit*>(widget)) {
            QVERIFY2(traits.multiLine && box->isReadOnly() == traits.readOnly, qPrintable(name));
            const bool flat = traits.border == Border::None;
            QCOMPARE(box->frameShape() == QFrame::NoFrame, flat);
            QCOMPARE(box->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOff, flat);
            QCOMPARE(box->viewport()->autoFillBackground(), !traits.onButtonFace);
            if (traits.readOnly) // for reading, selecting and copying
                QVERIFY(box->textInteractionFlags().testFlag(Qt::TextSelectableByKeyboard));
        } else {
            auto* line = qobject_cast<QLineEdit*>(widget);
            QVERIFY2(line && !traits.multiLine && line->isReadOnly() == traits.readOnly, qPrintable(name));
            QCOMPARE(line->hasFrame(), traits.border != Border::None);
        }
        break;
    case ControlKind::Label:
        QCOMPARE(widget->palette().color(QPalette::WindowText) == Qt::black,
                 traits.black || QApplication::palette().color(QPalette::WindowText) == Qt::black);
        // A caption ends before the control beside it begins.
        for (const QWidget* other : widget->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (other != widget && other->x() > widget->x() && other->x() <= widget->geometry().right() &&
                other->y() < widget->geometry().bottom() && other->geometry().bottom() > widget->y()) {
                auto* label = qobject_cast<QLabel*>(widget);
                QVERIFY2(!label->wordWrap(), qPrintable(name));
                QVERIFY2(widget->x() + QFontMetrics(widget->font()).horizontalAdvance(label->text()) <= other->x(),
                         qPrintable(name));
            }
        break;
    case ControlKind::Picture: {
        const QPixmap picture = qobject_cast<QLabel*>(widget)->pixmap();
        QVERIFY2(!picture.isNull() && picture.toImage() == qt::pictureOf(traits.picture).toImage(), qPrintable(name));
        QCOMPARE(widget->size(), picture.size()); // sized to its picture
        break;
    }
    case ControlKind::DirectoryList:
        QVERIFY2(qobject_cast<QListWidget*>(widget), qPrintable(name));
        break;
    case ControlKind::Button:
        QVERIFY2(qobject_cast<QPushButton*>(widget), qPrintable(name));
        break;
    case ControlKind::Frame:
        checkFrameDrawing(qobject_cast<QGroupBox*>(widget));
        break;
    case ControlKind::Line:
        break;
    }
}

} // namespace

class FormWindowTest : public QObject {
    Q_OBJECT

    static void everyLayout()
    {
        QTest::addColumn<int>("index");
        for (std::size_t i = 0; i < layouts().size(); ++i)
            QTest::newRow(layouts()[i]->name.data()) << int(i);
    }

private slots:
    void everyWindowIsDrawnAsItsLayoutDescribes_data() { everyLayout(); }
    void everyWindowIsDrawnAsItsLayoutDescribes()
    {
        QFETCH(int, index);
        const WindowLayout& layout = *layouts()[std::size_t(index)];
        Recorder events;
        qt::FormWindow view(layout, events);
        QMainWindow& window = *view.widget();
        view.show();
        QCOMPARE(window.objectName(), toQString(layout.name));
        QCOMPARE(window.windowTitle(), toQString(layout.caption));
        QCOMPARE(view.windowIcon(), view.icon(layout.icon));
        QCOMPARE(window.windowIcon().cacheKey(), qt::IconTable::instance().icon(view.windowIcon()).cacheKey());
        if (layout.frame == WindowFrame::None) {
            QVERIFY(!view.isShown() && !window.isVisible());
            return checkMenu(child<QMenu>(&window, layout.popup->name.data())->actions(), layout.popup->children);
        }
        QVERIFY(view.isShown() && window.isVisible());
        QCOMPARE(window.windowType(), Qt::Window); // top-level, transient for nothing
        QVERIFY(window.windowFlags().testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!(window.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(window.minimumSize(), window.maximumSize());
        QCOMPARE(window.centralWidget()->size(), QSize(px(layout.clientWidth), px(layout.clientHeight)));
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        if (layout.placement == Placement::Centred)
            QVERIFY((window.geometry().center() - screen.center()).manhattanLength() <= 2);
        if (layout.placement == Placement::FixedClient)
            QCOMPARE(window.geometry(), pxRect(fixedClientArea(layout)));

        // The bar wraps into rows that hold the core's menu bar, each entry whole on its row.
        QList<QAction*> entries;
        for (QMenuBar* row : window.findChildren<QMenuBar*>()) {
            for (QAction* entry : row->actions())
                QVERIFY2(row->rect().contains(row->actionGeometry(entry)), qPrintable(entry->objectName()));
            entries += row->actions();
        }
        checkMenu(entries, layout.menuBar, QStringLiteral("bar"));

        std::vector<QWidget*> widgets;
        for (const ControlLayout& control : layout.controls) {
            const QString name = toQString(control.name);
            QWidget* widget = window.findChild<QWidget*>(name);
            QVERIFY2(widget, qPrintable(name));
            widgets.push_back(widget);
            QCOMPARE(widget->parentWidget(), control.parent.empty()
                                                 ? window.centralWidget()
                                                 : window.findChild<QWidget*>(toQString(control.parent)));
            const QRect at = pxRect(control.rect);
            QVERIFY2(control.kind == ControlKind::Picture ? widget->pos() == at.topLeft() : widget->geometry() == at,
                     qPrintable(name));
            QCOMPARE(qt::controlText(widget), toQString(control.text));
            QCOMPARE(widget->accessibleName(), toQString(accessibleName(layout, control)));
            if (!control.font.family.empty())
                QVERIFY2(widget->font().family() == toQString(control.font.family) &&
                             widget->font().bold() == control.font.bold &&
                             widget->font().italic() == control.font.italic,
                         qPrintable(name));
            if (auto* button = qobject_cast<QPushButton*>(widget))
                QCOMPARE(button->isDefault(), control.name == layout.keys.defaultButton);
            checkTraits(widget, control);
        }
        const std::vector<std::size_t> order = focusOrder(layout);
        for (std::size_t i = 0; i < widgets.size(); ++i)
            QCOMPARE(widgets[i]->focusPolicy() == Qt::NoFocus, std::ranges::find(order, i) == order.end());
        QCOMPARE(window.focusWidget(), window.findChild<QWidget*>(toQString(initialFocus(layout))));
        for (std::size_t i = 1; i < order.size(); ++i) {
            QTest::keyClick(window.focusWidget(), Qt::Key_Tab);
            QCOMPARE(window.focusWidget(), widgets[order[i]]);
        }

        // Each line is a band of its width from its top row down, drawn in order: a band's last row
        // is its own colour (a narrower band drawn after a wider one covers only its top rows).
        const QImage shot = window.centralWidget()->grab().toImage();
        for (const EtchedLine& line : layout.lines) {
            const int bottom = px(line.y) + line.widthPixels - 1;
            QCOMPARE(QColor(shot.pixel(px((line.x1 + line.x2) / 2), bottom)), QColor::fromRgb(line.rgb));
            QVERIFY(QColor(shot.pixel(px(line.x1) - 1, bottom)) != QColor::fromRgb(line.rgb));
        }
    }

    void everyEventReachesThePresenter_data() { everyLayout(); }
    void everyEventReachesThePresenter()
    {
        QFETCH(int, index);
        const WindowLayout& layout = *layouts()[std::size_t(index)];
        Recorder events;
        qt::FormWindow view(layout, events);
        QMainWindow& window = *view.widget();
        view.show();
        for (const ControlLayout& control : layout.controls) {
            QWidget* widget = window.findChild<QWidget*>(toQString(control.name));
            const QString name = toQString(control.name);
            const ControlId id{control.name};
            if (auto* button = qobject_cast<QPushButton*>(widget)) {
                QTest::mouseClick(button, Qt::LeftButton);
                QCOMPARE(events.take(), clickOf(control.name));
            } else if (auto* line = qobject_cast<QLineEdit*>(widget)) {
                QTest::keyClicks(line, QStringLiteral("7"));
                QCOMPARE(events.take(), QStringList{"edit " + name});
                view.setText(id, "set");
                QCOMPARE(view.text(id), std::string("set"));
            } else if (auto* box = qobject_cast<QTextEdit*>(widget)) {
                view.setText(id, "one\ntwo");
                QCOMPARE(view.text(id), std::string("one\ntwo"));
                QCOMPARE(box->textCursor().position(), 0);
            } else if (auto* list = qobject_cast<QListWidget*>(widget)) {
                view.setEntries(id, {{"/", "/", 0, true}, {"a", "/a", 1, true}, {"b", "/a/b", 2}}, 1);
                QCOMPARE(list->count(), 3);
                QCOMPARE(list->currentRow(), 1);
                QVERIFY(list->item(1)->icon().cacheKey() != list->item(2)->icon().cacheKey()); // open, closed
                QTest::keyClick(list, Qt::Key_Down); // highlighting alone changes nothing
                QTest::keyClick(list, Qt::Key_Return);
                const QPoint first = list->visualItemRect(list->item(0)).center();
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, first);
                QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, first);
                QCOMPARE(events.take(), (QStringList{"open " + name + " 2", "open " + name + " 0"}));
            }
            if (!qobject_cast<QListWidget*>(widget) && widget->focusPolicy() != Qt::NoFocus) {
                // Enter and Esc press the buttons the layout gives them, wherever the focus is.
                widget->setFocus();
                QTest::keyClick(widget, Qt::Key_Return);
                QTest::keyClick(widget, Qt::Key_Escape);
                QCOMPARE(events.take(),
                         clickOf(buttonForEnter(layout, control.name)) + clickOf(layout.keys.cancelButton));
            }
            QVERIFY2(events.seen.isEmpty(), qPrintable(name)); // setText is no edit
        }
        for (QAction* action : window.menuWidget() ? window.menuWidget()->findChildren<QAction*>() : QList<QAction*>())
            if (qt::menuCommand(action) != Command::None) {
                action->trigger();
                QCOMPARE(events.take(), QStringList{QString("command %1").arg(int(qt::menuCommand(action)))});
            }
        // Mouse moves over the face, not beyond its edge, where the window owns the tray icon.
        QWidget* client = window.centralWidget();
        for (const int x : {10, client->width() + 2}) {
            QMouseEvent move(QEvent::MouseMove, QPointF(x, 5), client->mapToGlobal(QPointF(x, 5)), Qt::NoButton,
                             Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(client, &move);
        }
        QCOMPARE(events.take(),
                 layout.ownsTrayIcon ? QStringList{QString("move %1").arg(10 * view.twipsPerPixelX())} : QStringList());
        window.close();
        QCOMPARE(events.take(), QStringList{"close"});
    }

    // The presenter may discard its view inside a handler: the window goes at once from the
    // screen, tells nothing more and is deleted once the handler is over.
    void aWindowDiscardedInItsOwnHandlerGoesOnceTheHandlerIsOver()
    {
        Recorder events;
        auto view = std::make_unique<qt::FormWindow>(frmAboutLayout(), events);
        view->show();
        const QPointer<QMainWindow> window = view->widget();
        events.during = [&] { view.reset(); };
        auto* button = window->findChild<QPushButton*>();
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(events.seen.size(), 1);
        QVERIFY(window && !window->isVisible());
        QTest::mouseClick(button, Qt::LeftButton);
        window->close();
        QCOMPARE(events.seen.size(), 1);
        settle();
        QVERIFY(!window);
    }

    // A box stands over the window that asks for it, and goes with a window deleted under it.
    void aMessageBoxBelongsToTheWindowThatAsks()
    {
        Recorder events;
        qt::FormWindow view(form3Layout(), events);
        view.show();
        QPointer<QWidget> box;
        QWidget* owner = nullptr;
        QTimer::singleShot(0, [&] {
            box = QApplication::activeModalWidget();
            owner = box->parentWidget();
            delete view.widget();
        });
        qt::QtMessageBoxes().show(&view, "text", "title");
        QCOMPARE(owner, box ? nullptr : owner); // the box went with its window
        QVERIFY(owner && !box && !view.widget());
    }

    void richTextKeepsTheFormatsOfItsRuns()
    {
        Recorder events;
        qt::FormWindow view(frmHelpLayout(), events);
        const auto multiLine =
            std::ranges::find_if(frmHelpLayout().controls, [](auto& c) { return c.traits.multiLine; });
        auto* box = view.widget()->findChild<QTextEdit*>(toQString(multiLine->name));
        const std::vector<RtfRun> runs = parseRtf(
            "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}"
            "{\\colortbl;\\red200\\green0\\blue0;}\\fs32\\b Title\\b0\\par"
            "\\fs20 Plain \\i slanted\\i0  \\cf1\\ul red\\ulnone\\cf0  \\f1 mono}");
        view.setRuns({multiLine->name}, runs);
        QTextCursor cursor(box->document());
        int at = 0;
        for (const RtfRun& run : runs) {
            cursor.setPosition(at + 1); // after the run's first character, whose format it reports
            at += int(toQString(run.text).size());
            const QTextCharFormat shown = cursor.charFormat();
            const RtfFormat& format = run.format;
            if (run.text.starts_with('\n'))
                continue; // a paragraph's end, which has no format of its own
            QCOMPARE(shown.fontWeight(), format.bold ? int(QFont::Bold) : int(QFont::Normal));
            QVERIFY(shown.fontItalic() == format.italic && shown.fontUnderline() == format.underline);
            if (format.halfPoints)
                QCOMPARE(shown.fontPointSize(), format.halfPoints / 2.0);
            if (!format.family.empty())
                QCOMPARE(shown.fontFamilies().toStringList(), QStringList{toQString(format.family)});
            QCOMPARE(shown.hasProperty(QTextFormat::ForegroundBrush), format.colour.has_value());
        }
        QCOMPARE(at, box->document()->characterCount() - 1); // every run, nothing else
        QCOMPARE(box->textCursor().position(), 0);
    }
};

QTEST_MAIN(FormWindowTest)
#include "form_window_test.moc"
