// How closely the sweeper keeps its schedule: the program's Timer on the Qt timer driver, in a
// Qt event loop, sweeping a real lock file that is put back after every sweep. Each deletion
// time is compared with the ideal schedule (switch-on time + k periods).
//
//   timer_accuracy [period_ms=100] [periods=1000]
//
// Prints the error percentiles and the drift (the trend of the error over the run).

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/base/timer.h"
#include "core/sweep/sweeper.h"
#include "platform/posix/posix_file_system.h"
#include "qt/app/qt_platform.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(std::ceil(p * static_cast<double>(values.size()))) - 1;
    return values[std::min(index, values.size() - 1)];
}

void putBack(const std::string& path) { std::ofstream(path) << "locked"; }

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    const int period = argc > 1 ? std::atoi(argv[1]) : 100;
    const int periods = argc > 2 ? std::atoi(argv[2]) : 1000;

    std::string pattern = (fs::temp_directory_path() / "latchsweep-timer-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        return 1;
    const fs::path dir = pattern;
    fs::current_path(dir);
    const std::string lock = (dir / "MM2.LOCK").string();
    std::ofstream("Directory.txt", std::ios::binary) << lock << "\r\n";
    putBack(lock);

    latchsweep::qt::QtTimerFactory factory;
    latchsweep::PosixFileSystem files;
    std::vector<double> errorsMs;
    errorsMs.reserve(static_cast<std::size_t>(periods));
    int missed = 0;
    Clock::time_point start;

    latchsweep::Timer sweeper(factory, period, [&] {
        const bool deleted = latchsweep::sweepOnce(files);
        const auto now = Clock::now();
        if (!deleted)
            ++missed;
        const auto k = static_cast<double>(errorsMs.size() + 1);
        const double elapsedMs = std::chrono::duration<double, std::milli>(now - start).count();
        errorsMs.push_back(elapsedMs - k * period);
        putBack(lock);
        if (static_cast<int>(errorsMs.size()) == periods)
            QCoreApplication::quit();
    });
    QTimer::singleShot(0, [&] {
        start = Clock::now();
        sweeper.setEnabled(true);
    });
    QCoreApplication::exec();
    sweeper.setEnabled(false);
    fs::current_path(fs::temp_directory_path());
    fs::remove_all(dir);

    std::vector<double> absolute;
    for (const double e : errorsMs)
        absolute.push_back(std::abs(e));
    // Drift: least-squares slope of the error against the period number, over the whole run.
    double sumK = 0, sumE = 0, sumKK = 0, sumKE = 0;
    for (std::size_t i = 0; i < errorsMs.size(); ++i) {
        const double k = static_cast<double>(i + 1);
        sumK += k;
        sumE += errorsMs[i];
        sumKK += k * k;
        sumKE += k * errorsMs[i];
    }
    const double n = static_cast<double>(errorsMs.size());
    const double slope = (n * sumKE - sumK * sumE) / (n * sumKK - sumK * sumK);
    const double lastError = errorsMs.back();

    std::printf("timer accuracy: %d periods of %d ms, %d sweeps found no file\n", periods, period, missed);
    std::printf("  |error| p50 %.3f ms, p99 %.3f ms, max %.3f ms (target p99 <= 3 ms)\n", percentile(absolute, 0.50),
                percentile(absolute, 0.99), percentile(absolute, 1.0));
    std::printf(
        "  mean error %+.3f ms; drift %+.4f ms per period (%+.2f ms over the run); "
        "error of the last sweep %+.3f ms\n",
        sumE / n, slope, slope * n, lastError);
    return 0;
}
