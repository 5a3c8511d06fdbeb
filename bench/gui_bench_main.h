#pragma once
// main() of a benchmark that draws text: a GUI application on the offscreen
// platform (no display is used), then Google Benchmark.
#include <QGuiApplication>
#include <benchmark/benchmark.h>

inline int runGuiBenchmarks(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
