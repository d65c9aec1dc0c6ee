#pragma once

#include "form/velmora.h"

// The calculator's form, made and started once, on screen for every benchmark of a run.
inline Velmora &startedForm()
{
    static Velmora *form = [] {
        auto *created = new Velmora;
        created->window().start();
        return created;
    }();
    return *form;
}
