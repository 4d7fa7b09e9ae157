#include "qt/app/qt_platform.h"

#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "qt/app/form_window.h"

namespace latchsweep::qt {
namespace {

class QtTimerDriver : public TimerDriver {
public:
    QtTimerDriver(std::function<void()> onExpiry, TimerAccuracy accuracy)
    {
        // Qt's very coarse timers expire on whole seconds of the monotonic clock, all together.
        timer_.setTimerType(accuracy == TimerAccuracy::WholeSeconds ? Qt::VeryCoarseTimer : Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, std::move(onExpiry));
    }
    // The core only starts with a positive period and decides itself when a restart is due,
    // so QTimer's own rules (restart on any setInterval, 0 firing continuously) never apply.
    void start(std::int32_t periodMs) override { timer_.start(periodMs); }
    void stop() override { timer_.stop(); }

private:
    QTimer timer_;
};

} // namespace

std::unique_ptr<TimerDriver> QtTimerFactory::create(std::function<void()> onExpiry, TimerAccuracy accuracy)
{
    return std::make_unique<QtTimerDriver>(std::move(onExpiry), accuracy);
}

void QtMessageBoxes::show(const WindowView* owner, std::string_view text, std::string_view title)
{
    // A view made here stands for its widget; any other for no window.
    const auto* window = dynamic_cast<const FormWindow*>(owner);
    QWidget* parent = window ? window->widget() : nullptr;
    // Events run while the box is up, and one of them may delete the owner and the box with it.
    const QPointer<QMessageBox> box =
        new QMessageBox(QMessageBox::NoIcon, toQString(title), toQString(text), QMessageBox::Ok, parent);
    box->setWindowModality(Qt::ApplicationModal);
    box->exec();
    delete box.data();
}

void QtProcessControl::endNow()
{
    std::fflush(nullptr);
    std::_Exit(EXIT_SUCCESS);
}

// The core's text is UTF-8 on this platform; a byte that is not part of valid UTF-8 is shown as
// the replacement character U+FFFD, and so comes back changed if it is sent back.
QString toQString(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

} // namespace latchsweep::qt
