// What the benchmark executables share: heap measurement and a main that gives the engine its Qt
// application object.
#pragma once

#include <QCoreApplication>

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstddef>

namespace quorvel::bench {

/// Bytes the process has allocated and not freed; differences give the memory of a structure.
inline std::size_t HeapInUse() { return mallinfo2().uordblks + mallinfo2().hblkhd; }

} // namespace quorvel::bench

#define QUORVEL_BENCHMARK_MAIN()                                                                                       \
    int main(int argc, char** argv)                                                                                    \
    {                                                                                                                  \
        QCoreApplication app(argc, argv);                                                                              \
        benchmark::Initialize(&argc, argv);                                                                            \
        benchmark::RunSpecifiedBenchmarks();                                                                           \
        benchmark::Shutdown();                                                                                         \
        return 0;                                                                                                      \
    }
