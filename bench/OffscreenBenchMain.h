// The main of a benchmark program that draws: Qt's GUI application on the offscreen platform (no
// display needed), then Google Benchmark's own run.
#pragma once

#include <benchmark/benchmark.h>

#include <QGuiApplication>

namespace pw::bench {

inline int RunOffscreenBenchmarks(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace pw::bench
