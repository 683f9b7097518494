// A growth run with the real environment on the OpenCL device (pocl here): seed
// 3, the cone model or the grid model, one tree grown from the start until it
// passes 100,000 internodes (or stops growing), every iteration timed, once with an empty kernel
// cache and once with the cache that run left. Each run is a fresh process
// (this program started again, see childRegistered below), since a device compiles
// its kernels once per process and keeps them; the parent reports the totals as
// counters and the iterations as a table on standard error.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include <QTemporaryDir>
#include <QtGlobal>
#include <benchmark/benchmark.h>

#include "environment/environment.h"
#include "environment/openclholder.h"
#include "model/growth.h"
#include "model/internode.h"
#include "model/parameters.h"
#include "model/tree.h"

extern char** environ;

namespace {

constexpr int kInternodes = 100000;
// A tree whose count stays the same this many iterations has stopped growing
// (the grid model's does, some way below the mark), and the run ends there.
constexpr int kStalledIterations = 5;
constexpr int kMaxIterations = 100;

const char* const kModelVariable = "TRELIMO_GROWTH_RUN_MODEL";
const char* const kOutVariable = "TRELIMO_GROWTH_RUN_OUT";

double millisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void dropMessages(QtMsgType, const QMessageLogContext&, const QString&) {}

// The run itself, in the child: writes "build <ms>", "restart <ms>" and one
// "<iteration> <internodes> <ms>" line per iteration to `out`.
void growthRun(int environmentType, std::ofstream& out)
{
    qInstallMessageHandler(dropMessages);
    Environment::create()->type = environmentType;
    auto start = std::chrono::steady_clock::now();
    OpenClHolder::create(true, -1, -1);
    out << "build " << millisecondsSince(start) << std::endl;
    randomEngine.seed(3);
    start = std::chrono::steady_clock::now();
    restartWithOneTree();
    out << "restart " << millisecondsSince(start) << std::endl;
    int previous = -1;
    int stalled = 0;
    for (int iteration = 1; iteration <= kMaxIterations; ++iteration) {
        start = std::chrono::steady_clock::now();
        simulationStep();
        const double ms = millisecondsSince(start);
        const int internodes = allTrees.front()->root->internodeCount;
        out << iteration << " " << internodes << " " << ms << std::endl;
        stalled = internodes == previous ? stalled + 1 : 0;
        previous = internodes;
        if (internodes > kInternodes || stalled == kStalledIterations)
            break;
    }
}

// Started again by BM_GrowthRun with the model and the output file in its
// environment, this program has one more benchmark, the run itself, which the
// parent picks with --benchmark_filter.
const char* const kChildName = "GrowthRunChild";

[[maybe_unused]] const bool childRegistered = [] {
    const char* model = std::getenv(kModelVariable);
    const char* outPath = std::getenv(kOutVariable);
    if (!model || !outPath)
        return false;
    benchmark::RegisterBenchmark(kChildName, [](benchmark::State& state) {
        for (auto _ : state) {
            std::ofstream out(std::getenv(kOutVariable));
            growthRun(std::atoi(std::getenv(kModelVariable)), out);
        }
    })->Iterations(1);
    return true;
}();

struct Iteration {
    int internodes = 0;
    double ms = 0.0;
};

struct RunResult {
    bool ok = false;
    double buildMs = 0.0;
    double restartMs = 0.0;
    std::vector<Iteration> iterations;
};

// Runs this program again as the child of one growth run, with the kernel
// cache in `cacheDir`, its own output discarded.
RunResult spawnRun(int environmentType, const std::string& cacheDir, const std::string& outPath)
{
    std::vector<std::string> variables;
    for (char** variable = environ; *variable; ++variable) {
        const std::string text = *variable;
        if (text.rfind("POCL_CACHE_DIR=", 0) != 0)
            variables.push_back(text);
    }
    variables.push_back("POCL_CACHE_DIR=" + cacheDir);
    variables.push_back(std::string(kModelVariable) + "=" + std::to_string(environmentType));
    variables.push_back(std::string(kOutVariable) + "=" + outPath);
    std::vector<char*> envp;
    for (std::string& text : variables)
        envp.push_back(text.data());
    envp.push_back(nullptr);
    std::string program = "/proc/self/exe";
    std::string filter = std::string("--benchmark_filter=^") + kChildName + "/";
    char* argv[] = {program.data(), filter.data(), nullptr};

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const int spawned = posix_spawn(&child, program.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    RunResult result;
    int status = 0;
    if (spawned != 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return result;

    std::ifstream in(outPath);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string first;
        fields >> first;
        if (first == "build") {
            fields >> result.buildMs;
        } else if (first == "restart") {
            fields >> result.restartMs;
        } else {
            Iteration iteration;
            fields >> iteration.internodes >> iteration.ms;
            result.iterations.push_back(iteration);
        }
    }
    result.ok = !result.iterations.empty();
    return result;
}

double totalMs(const RunResult& run)
{
    double total = 0.0;
    for (const Iteration& iteration : run.iterations)
        total += iteration.ms;
    return total;
}

double largestMs(const RunResult& run)
{
    double largest = 0.0;
    for (const Iteration& iteration : run.iterations)
        largest = std::max(largest, iteration.ms);
    return largest;
}

// Argument: the environment type (0 grid, 2 cones). Reports the warm run's
// total as the time, both runs as counters, every iteration on standard error.
void BM_GrowthRun(benchmark::State& state)
{
    const int environmentType = static_cast<int>(state.range(0));
    for (auto _ : state) {
        QTemporaryDir folder;
        if (!folder.isValid()) {
            state.SkipWithError("no temporary folder");
            return;
        }
        const std::string cache = folder.filePath("pocl-cache").toStdString();
        const std::string out = folder.filePath("run.txt").toStdString();
        const RunResult empty = spawnRun(environmentType, cache, out);
        const RunResult warm = spawnRun(environmentType, cache, out);
        if (!empty.ok || !warm.ok) {
            state.SkipWithError("a growth run failed");
            return;
        }
        state.SetIterationTime(totalMs(warm) / 1000.0);
        state.counters["iterations"] = static_cast<double>(warm.iterations.size());
        state.counters["internodes"] = warm.iterations.back().internodes;
        state.counters["empty_total_ms"] = totalMs(empty);
        state.counters["warm_total_ms"] = totalMs(warm);
        state.counters["empty_max_ms"] = largestMs(empty);
        state.counters["warm_max_ms"] = largestMs(warm);
        state.counters["empty_build_ms"] = empty.buildMs;
        state.counters["warm_build_ms"] = warm.buildMs;

        std::ostringstream table;
        table << "\nGrowth run, " << (environmentType == 2 ? "cone" : "grid")
              << " model, seed 3 (ms per iteration; internodes after it)\n"
              << "  iteration  internodes  empty cache  warm cache\n";
        char row[128];
        std::snprintf(row, sizeof row, "  %9s  %10s  %11.1f  %10.1f\n", "build", "", empty.buildMs, warm.buildMs);
        table << row;
        std::snprintf(row, sizeof row, "  %9s  %10s  %11.1f  %10.1f\n", "restart", "", empty.restartMs,
                      warm.restartMs);
        table << row;
        for (std::size_t i = 0; i < warm.iterations.size(); ++i) {
            const double emptyMs = i < empty.iterations.size() ? empty.iterations[i].ms : 0.0;
            std::snprintf(row, sizeof row, "  %9zu  %10d  %11.1f  %10.1f\n", i + 1, warm.iterations[i].internodes,
                          emptyMs, warm.iterations[i].ms);
            table << row;
        }
        std::cerr << table.str() << std::flush;
    }
}

}  // namespace

BENCHMARK(BM_GrowthRun)
    ->ArgName("environment")
    ->Arg(2)
    ->Arg(0)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
