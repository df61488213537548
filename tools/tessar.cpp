// tessar: the library's command-line front door.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <vector>

#include "tessar_cli.h"

namespace {

std::vector<TessarCommand>& Commands() {
    static std::vector<TessarCommand> commands;
    return commands;
}

std::vector<TessarDemoStep>& DemoSteps() {
    static std::vector<TessarDemoStep> steps;
    return steps;
}

void PrintOverview(std::FILE* to) {
    std::fprintf(to, "usage: tessar COMMAND [ARGS...]\n       tessar COMMAND --help\n\ncommands:\n");
    std::vector<TessarCommand> sorted = Commands();
    std::sort(sorted.begin(), sorted.end(), [](const TessarCommand& a, const TessarCommand& b) {
        return std::strcmp(a.name, b.name) < 0;
    });
    for (const TessarCommand& command : sorted)
        std::fprintf(to, "  %-8s %s\n", command.name, command.summary);
}

const TessarCommand* FindCommand(const char* name) {
    for (const TessarCommand& command : Commands())
        if (std::strcmp(command.name, name) == 0) return &command;
    return nullptr;
}

int RunDemo(int argc, char** argv) {
    if (argc > 1) {
        std::fprintf(stderr, "tessar demo: unexpected argument '%s'\n", argv[1]);
        return 2;
    }
    std::vector<TessarDemoStep> steps = DemoSteps();
    std::stable_sort(steps.begin(), steps.end(),
                     [](const TessarDemoStep& a, const TessarDemoStep& b) { return a.order < b.order; });
    std::cout << "Tessar500r: a short tour of the library\n";
    int number = 1;
    for (const TessarDemoStep& step : steps) {
        std::cout << "\n== " << number++ << ". " << step.title << " ==\n";
        step.run(std::cout);
    }
    std::cout << "\nDone: " << steps.size() << " steps.\n";
    return 0;
}

const TessarCommandRegistrar kDemo({"demo", "a short tour of what the library can do",
                                    "usage: tessar demo\n\n"
                                    "Runs a tour of the library on bundled sample data and prints\n"
                                    "each step.\n",
                                    RunDemo});

}  // namespace

TessarCommandRegistrar::TessarCommandRegistrar(const TessarCommand& command) {
    Commands().push_back(command);
}

TessarDemoRegistrar::TessarDemoRegistrar(const TessarDemoStep& step) { DemoSteps().push_back(step); }

bool TessarWantsHelp(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) return true;
    return false;
}

int main(int argc, char** argv) {
    if (argc < 2) {
        PrintOverview(stderr);
        return 2;
    }
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        PrintOverview(stdout);
        return 0;
    }
    const TessarCommand* command = FindCommand(argv[1]);
    if (command == nullptr) {
        std::fprintf(stderr, "tessar: unknown command '%s' (try 'tessar --help')\n", argv[1]);
        return 2;
    }
    if (TessarWantsHelp(argc - 1, argv + 1)) {
        std::fputs(command->usage, stdout);
        return 0;
    }
    return command->run(argc - 1, argv + 1);
}
