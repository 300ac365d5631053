// The entry point of a benchmark executable: an offscreen Qt application in a run of its own
// (private named objects, registry file and desktop folders), then the benchmarks asked for.
#pragma once

#include "tests/common/isolatedrun.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace testrun {

inline int runBenchmarks(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const IsolatedRun run("qvbench");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace testrun
