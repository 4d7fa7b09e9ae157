#include <cmath>

#include "qt_test_support.h"

using namespace latchsweep;
using namespace latchsweep::qt::testing;

namespace {

// WCAG's contrast ratio: 1 for equal colours, 21 for black on white.
double contrast(const QColor& a, const QColor& b)
{
    const auto luminance = [](const QColor& c) {
        const auto linear = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF()) + 0.05;
    };
    return std::max(luminance(a), luminance(b)) / std::min(luminance(a), luminance(b));
}

// The colour of the nearest widget that paints its background.
QColor backdrop(const QWidget* widget)
{
    while (!widget->isWindow() && !widget->autoFillBackground())
        widget = widget->parentWidget();
    return widget->palette().color(widget->backgroundRole());
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
        for (QWidget* window : QApplication::topLevelWidgets()) {
            for (QWidget* widget : window->findChildren<QWidget*>()) {
                // Text colour and what it is drawn on, as the style paints each kind of control.
                const QPalette& p = widget->palette();
                std::pair<QColor, QColor> drawn;
                if (qobject_cast<QAbstractButton*>(widget))
                    drawn = {p.color(QPalette::ButtonText), p.color(QPalette::Button)};
                else if (qobject_cast<QMenuBar*>(widget))
                    drawn = {p.color(QPalette::ButtonText), p.color(QPalette::Window)};
                else if (auto* area = qobject_cast<QAbstractScrollArea*>(widget))
                    drawn = {p.color(QPalette::Text), backdrop(area->viewport())};
                else if (widget->property("text").toString() + widget->property("title").toString() != "")
                    drawn = {p.color(widget->foregroundRole()), backdrop(widget)};
                else
                    continue;
                ++checked;
                QVERIFY2(contrast(drawn.first, drawn.second) >= 4.5,
                         qPrintable(widget->objectName() + " in " + window->objectName() + ": " + drawn.first.name() +
                                    " on " + drawn.second.name()));
            }
        }
        QVERIFY2(checked >= 20, qPrintable(QString::number(checked)));
        QStringList shown;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->isVisible())
                shown << window->objectName();
        shown.sort();
        QCOMPARE(shown, QStringList({"Form1", "Form2", "Form3", "frmAbout", "frmHelp"}));

        // Pictures for the eye, beside the end-to-end screenshots.
        const QString directory = qEnvironmentVariable("LATCHSWEEP_SCREENSHOTS");
        if (directory.isEmpty() || !QDir().mkpath(directory))
            return;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->objectName() == "Form1" || window->objectName() == "frmAbout")
                QVERIFY(window->grab().save(directory + "/dark_" + window->objectName() + ".png"));
    }
};

QTEST_MAIN(DarkPaletteTest)
#include "dark_palette_test.moc"
