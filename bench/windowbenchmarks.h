#pragma once

// What the benchmarks of the real window share: the form, made and started once, and a main
// that runs them in the program's own application, on Qt's offscreen platform unless told
// otherwise.

#include "form/velmora.h"
#include "platform/application.h"

#include <benchmark/benchmark.h>

inline Velmora &startedForm()
{
    static Velmora *form = [] {
        auto *created = new Velmora;
        created->window().start();
        return created;
    }();
    return *form;
}

inline int runWindowBenchmarks(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    platform::Application application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
