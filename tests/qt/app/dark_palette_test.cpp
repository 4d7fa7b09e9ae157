#include <cmath>

#include "tests/qt/qt_test_support.h"

using namespace latchsweep;

// WCAG's contrast ratio: 1 for equal colours, 21 for black on white.
static double contrast(const QColor& a, const QColor& b)
{
    const auto luminance = [](const QColor& c) {
        const auto linear = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF()) + 0.05;
    };
    return std::max(luminance(a), luminance(b)) / std::min(luminance(a), luminance(b));
}

class DarkPaletteTest : public QObject {
    Q_OBJECT

private slots:
    void everyTextStandsOutOnADarkDesktop()
    {
        QApplication::setPalette(QPalette(QColor(45, 45, 45))); // light text on dark faces
        latchsweep::testing::FakePlatform fakes;
        qt::QtViewFactory views;
        Application app(fakes.ports, views);
        app.start();
        for (const Command command :
             {Command::OpenGameDirectory, Command::OpenAutoDelete, Command::OpenHelp, Command::OpenAbout})
            app.run(command);
        QMap<QString, int> texts; // per window shown
        const QString shots = qEnvironmentVariable("LATCHSWEEP_SCREENSHOTS");
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (!window->isVisible())
                continue;
            for (QWidget* widget : window->findChildren<QWidget*>()) {
                // The text's colour and the colour it is drawn on, as the style paints each control.
                const QWidget* ground = widget;
                while (!ground->isWindow() && !ground->autoFillBackground())
                    ground = ground->parentWidget();
                QColor text = widget->palette().color(widget->foregroundRole());
                QColor under = ground->palette().color(ground->backgroundRole());
                if (qobject_cast<QAbstractButton*>(widget) || qobject_cast<QMenuBar*>(widget))
                    text = widget->palette().color(QPalette::ButtonText);
                if (qobject_cast<QAbstractButton*>(widget))
                    under = widget->palette().color(QPalette::Button);
                else if (auto* area = qobject_cast<QAbstractScrollArea*>(widget))
                    std::tie(text, under) = std::pair(area->palette().color(QPalette::Text),
                                                      area->viewport()->palette().color(QPalette::Base));
                else if (!qobject_cast<QMenuBar*>(widget) &&
                         (widget->property("text").toString() + widget->property("title").toString()).isEmpty())
                    continue;
                ++texts[window->objectName()];
                QVERIFY2(contrast(text, under) >= 4.5, qPrintable(widget->objectName() + " in " + window->objectName() +
                                                                  ": " + text.name() + " on " + under.name()));
            }
            const QString name = window->objectName();
            if (!shots.isEmpty() && QDir().mkpath(shots) && (name == "Form1" || name == "frmAbout"))
                QVERIFY(window->grab().save(shots + "/dark_" + window->objectName() + ".png"));
        }
        QCOMPARE(texts.keys(), QStringList({"Form1", "Form2", "Form3", "frmAbout", "frmHelp"}));
        QVERIFY(texts.value("frmAbout") >= 7);
    }
};

QTEST_MAIN(DarkPaletteTest)
#include "dark_palette_test.moc"
