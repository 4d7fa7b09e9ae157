#include <cmath>

#include "app/menu.h"
#include "qt_test_support.h"

using namespace latchsweep;
using namespace latchsweep::qt::testing;

namespace {

// WCAG's relative luminance and contrast ratio: 1 for equal colours, 21 for black on white.
double luminance(const QColor& colour)
{
    const auto linear = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) + 0.0722 * linear(colour.blueF());
}

double contrast(const QColor& a, const QColor& b)
{
    const double first = luminance(a);
    const double second = luminance(b);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

// The colour a widget's text stands on: the background of the nearest widget that paints one.
QColor backdrop(const QWidget* widget)
{
    while (!widget->isWindow() && !widget->autoFillBackground())
        widget = widget->parentWidget();
    return widget->palette().color(widget->backgroundRole());
}

struct Drawn {
    QColor text;
    QColor ground;
};

// The colours a control's text is drawn in and on, as the style paints it; nothing for a
// control without text.
std::optional<Drawn> textColours(const QWidget* widget)
{
    const QPalette& palette = widget->palette();
    if (qobject_cast<const QAbstractButton*>(widget) || qobject_cast<const QMenuBar*>(widget))
        return Drawn{palette.color(QPalette::ButtonText),
                     palette.color(qobject_cast<const QMenuBar*>(widget) ? QPalette::Window : QPalette::Button)};
    if (const auto* area = qobject_cast<const QAbstractScrollArea*>(widget))
        return Drawn{palette.color(QPalette::Text), backdrop(area->viewport())};
    const auto* label = qobject_cast<const QLabel*>(widget);
    const auto* frame = qobject_cast<const QGroupBox*>(widget);
    if ((label && !label->text().isEmpty()) || (frame && !frame->title().isEmpty()))
        return Drawn{palette.color(widget->foregroundRole()), backdrop(widget)};
    return std::nullopt;
}

} // namespace

class DarkPaletteTest : public QObject {
    Q_OBJECT

private slots:
    void everyTextStandsOutOnADarkDesktop()
    {
        QApplication::setPalette(QPalette(QColor(45, 45, 45))); // light text on dark faces
        ScratchProgram program;
        program.app->start();
        for (const Command command : {Command::OpenGameDirectory, Command::OpenAutoDelete, Command::OpenHelp,
                                      Command::OpenAbout})
            program.app->run(command);

        int checked = 0;
        QStringList windows;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (!window->isVisible())
                continue;
            windows << window->objectName();
            for (QWidget* widget : window->findChildren<QWidget*>()) {
                const std::optional<Drawn> drawn = textColours(widget);
                if (!drawn || !widget->isVisibleTo(window))
                    continue;
                ++checked;
                const double ratio = contrast(drawn->text, drawn->ground);
                QVERIFY2(ratio >= 4.5, qPrintable(QStringLiteral("%1 in %2: %3 on %4, contrast %5")
                                                      .arg(widget->objectName(), window->objectName(),
                                                           drawn->text.name(), drawn->ground.name())
                                                      .arg(ratio, 0, 'f', 2)));
            }
        }
        windows.sort();
        QCOMPARE(windows, QStringList({"Form1", "Form2", "Form3", "frmAbout", "frmHelp"}));
        QVERIFY2(checked >= 20, qPrintable(QString::number(checked)));

        // Pictures for the eye, beside the end-to-end screenshots.
        const QString directory = qEnvironmentVariable("LATCHSWEEP_SCREENSHOTS");
        if (directory.isEmpty())
            return;
        QVERIFY(QDir().mkpath(directory));
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->objectName() == "frmAbout" || window->objectName() == "Form1")
                QVERIFY(window->grab().save(directory + "/dark_" + window->objectName() + ".png"));
    }
};

QTEST_MAIN(DarkPaletteTest)
#include "dark_palette_test.moc"
