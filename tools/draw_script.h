#pragma once

// The drawing scripts of `tessar draw`: one drawing operation per line, parsed in full before
// anything is drawn, then applied to a CDynamic.

#include <cstdint>
#include <string>
#include <vector>

#include "CDynamic.h"

struct DrawScriptOp {
    int kind;                      // index into the operation table of draw_script.cpp
    std::vector<int32_t> numbers;  // lengths in base units, colours and flags as given
    double degrees = 0;            // "angle"
    std::string text;              // "text" and "label"
    int line = 0;
};

struct DrawScript {
    std::vector<DrawScriptOp> ops;
    bool hasView = false;
    SYS_Box view;  // the last "view" line
};

// The operations and their arguments, for `tessar draw --help`.
extern const char kDrawScriptHelp[];

// Parses one line (no newline) into script; false with a message (no line number) in error.
bool ParseDrawScriptLine(const std::string& line, int lineNumber, DrawScript& script,
                         std::string& error);
// Records every operation of the script into dynamic, in order.
void ApplyDrawScript(const DrawScript& script, CDynamic& dynamic);
