#pragma once

#include <ostream>

// The command-line tool is a set of commands and a demo made of steps; each lives in its own
// file and registers itself here, so that adding one touches no other file.

struct TessarCommand {
    const char* name;     // word after "tessar"
    const char* summary;  // one line for "tessar --help"
    const char* usage;    // full text for "tessar NAME --help"
    int (*run)(int argc, char** argv);  // argv[0] is the command name; returns the exit code
};

struct TessarDemoStep {
    int order;          // steps run in ascending order
    const char* title;  // printed as the step's heading
    void (*run)(std::ostream& out);
};

struct TessarCommandRegistrar {
    explicit TessarCommandRegistrar(const TessarCommand& command);
};

struct TessarDemoRegistrar {
    explicit TessarDemoRegistrar(const TessarDemoStep& step);
};

// True when argv holds "--help" or "-h" after the command name.
bool TessarWantsHelp(int argc, char** argv);
