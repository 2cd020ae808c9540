#pragma once

#include "book/bookstate.h"
#include "goals/goalsstate.h"

#include <QString>

// The state that outlives a single click, shared by the handlers of the main
// window. Each editor changes only its own part; the writers only read it.
struct EditorState {
    BookState book;
    GoalsState goals;
    QString VersionText;   // "2.2": shown in the About texts
};
