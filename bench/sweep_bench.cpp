// The cost of one sweep, against the bare system calls that do the same work.
//
// The usual sweep: Directory.txt names a lock file that is not there (the game is not running).
// The core's sweep reads the first line through the file-system port and deletes the file it
// names; the floor does the same with nothing but open, read, close and unlink. Both run in one
// process, interleaved in repetitions, and the ratio of their medians is printed at the end.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "core/sweep/sweeper.h"
#include "platform/posix/posix_file_system.h"

namespace {

namespace fs = std::filesystem;

// A scratch working directory with Directory.txt naming a missing MM2.LOCK, as Save writes it.
class Scratch {
public:
    Scratch()
    {
        std::string pattern = (fs::temp_directory_path() / "latchsweep-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        dir_ = pattern;
        fs::current_path(dir_);
        lockPath_ = (dir_ / "MM2.LOCK").string();
        std::FILE* list = std::fopen("Directory.txt", "wb");
        std::fprintf(list, "%s\r\n", lockPath_.c_str());
        std::fclose(list);
    }
    ~Scratch()
    {
        std::error_code ignored;
        fs::current_path(fs::temp_directory_path(), ignored);
        fs::remove_all(dir_, ignored);
    }
    [[nodiscard]] const std::string& lockPath() const { return lockPath_; }

private:
    fs::path dir_;
    std::string lockPath_;
};

void BM_CoreSweep(benchmark::State& state)
{
    latchsweep::PosixFileSystem files;
    for (auto _ : state)
        benchmark::DoNotOptimize(latchsweep::sweepOnce(files));
}

// The floor: open Directory.txt, read it, close it, take the first line, unlink it.
void BM_SystemCallFloor(benchmark::State& state)
{
    char buffer[4096];
    for (auto _ : state) {
        const int fd = ::open("Directory.txt", O_RDONLY | O_CLOEXEC);
        ssize_t got = ::read(fd, buffer, sizeof buffer - 1);
        ::close(fd);
        if (got < 0)
            got = 0;
        buffer[got] = '\0';
        buffer[std::strcspn(buffer, "\r\n")] = '\0';
        benchmark::DoNotOptimize(::unlink(buffer));
    }
}

BENCHMARK(BM_CoreSweep)->Repetitions(9)->ReportAggregatesOnly(false)->MinTime(0.2);
BENCHMARK(BM_SystemCallFloor)->Repetitions(9)->ReportAggregatesOnly(false)->MinTime(0.2);

// Keeps each run's time per iteration, by benchmark, while the console shows the usual table.
class Collector : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && run.iterations > 0)
                times_[run.run_name.function_name].push_back(run.GetAdjustedRealTime());
        ConsoleReporter::ReportRuns(runs);
    }
    [[nodiscard]] double median(const std::string& name) const
    {
        auto values = times_.at(name);
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    }

private:
    std::map<std::string, std::vector<double>> times_;
};

} // namespace

int main(int argc, char** argv)
{
    const Scratch dir;
    // The repetitions of the two benchmarks are interleaved, so that a slow spell of the machine
    // weighs on both alike.
    std::vector<char*> args(argv, argv + argc);
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, interleave);
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    const double core = collector.median("BM_CoreSweep");
    const double floor = collector.median("BM_SystemCallFloor");
    std::printf("\nsweep cost: core %.2f us, system-call floor %.2f us, ratio %.2f (target <= 1.10)\n", core / 1000.0,
                floor / 1000.0, core / floor);
    return 0;
}
