// tessar draw: a script of drawing operations, recorded into a CDynamic on an SVG draw area,
// replayed, and written as a picture.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "CDynamic.h"
#include "UI_SvgDrawArea.h"
#include "draw_script.h"
#include "tessar_cli.h"
#include "tessar_input.h"

namespace {

const char kUsageHead[] =
    "usage: tessar draw SCRIPT [-o OUT.svg]\n"
    "\n"
    "Reads drawing operations from SCRIPT (\"-\": standard input), one per line, records them\n"
    "into a dynamic drawing installed on an SVG draw area, replays them, and writes the\n"
    "picture to OUT.svg (default: SCRIPT with the extension .svg, or draw.svg for standard\n"
    "input). Exclusive-or drawing appears as its own layer over the picture.\n"
    "\n";
const char kUsageTail[] =
    "\n"
    "Exit status: 0 on success, 2 when the script cannot be read, holds a malformed line\n"
    "(reported with its line number), or the picture cannot be written.\n";

// Built before kDraw below, which keeps a pointer to it (same file: initialised in order).
const std::string kUsage = std::string(kUsageHead) + kDrawScriptHelp + kUsageTail;

constexpr int kPictureWidth = 800;

struct DrawOptions {
    const char* script = nullptr;
    std::string output;
};

bool ParseOptions(int argc, char** argv, DrawOptions& options) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-o") == 0 && i + 1 < argc) {
            options.output = argv[++i];
        } else if (argv[i][0] == '-' && argv[i][1] != '\0') {
            std::fprintf(stderr, "tessar draw: unknown option '%s' (try 'tessar draw --help')\n",
                         argv[i]);
            return false;
        } else if (options.script == nullptr) {
            options.script = argv[i];
        } else {
            std::fprintf(stderr, "tessar draw: unexpected argument '%s'\n", argv[i]);
            return false;
        }
    }
    if (options.script == nullptr) {
        std::fprintf(stderr, "tessar draw: no SCRIPT given (try 'tessar draw --help')\n");
        return false;
    }
    if (options.output.empty()) {
        std::string name = std::strcmp(options.script, "-") == 0 ? "draw" : options.script;
        size_t dot = name.find_last_of('.');
        size_t slash = name.find_last_of('/');
        if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
            name.erase(dot);
        options.output = name + ".svg";
    }
    return true;
}

bool ReadScript(const char* name, DrawScript& script) {
    TessarInput input(name);
    if (!input.IsOpen()) return input.ReportCannotOpen("draw") == 0;
    std::string line, error;
    for (int number = 1; input.ReadLine(line); ++number) {
        if (ParseDrawScriptLine(line, number, script, error)) continue;
        std::fprintf(stderr, "tessar draw: %s:%d: %s\n", name, number, error.c_str());
        return false;
    }
    if (!input.HadError()) return true;
    std::fprintf(stderr, "tessar draw: cannot read '%s'\n", name);
    return false;
}

// The world box to show: the script's view, else everything it draws with a 5% margin.
SYS_Box ViewOf(const DrawScript& script) {
    if (script.hasView) return script.view;
    UI_SvgDrawArea probe(SYS_Box(0, 0, kPictureWidth, kPictureWidth), kPictureWidth);
    CDynamic dry(&probe);
    ApplyDrawScript(script, dry);
    SYS_Box box = dry.GetDirtyBox();
    box.Normalize();
    int64_t margin = std::max<int64_t>(int64_t(box.GetRight()) - box.GetLeft(),
                                       int64_t(box.GetUpper()) - box.GetLower()) /
                     20;
    if (margin == 0) margin = 1500000;  // nothing with an extent: show a millimetre around it
    auto widen = [](int64_t v) {
        return int32_t(std::max<int64_t>(-2000000000, std::min<int64_t>(2000000000, v)));
    };
    return SYS_Box(widen(box.GetLeft() - margin), widen(box.GetLower() - margin),
                   widen(box.GetRight() + margin), widen(box.GetUpper() + margin));
}

int RunDraw(int argc, char** argv) {
    if (TessarWantsHelp(argc, argv)) {
        std::fputs(kUsage.c_str(), stdout);
        return 0;
    }
    DrawOptions options;
    DrawScript script;
    if (!ParseOptions(argc, argv, options) || !ReadScript(options.script, script)) return 2;

    UI_SvgDrawArea area(ViewOf(script), kPictureWidth);
    CDynamic dynamic(&area);
    dynamic.StartBatchDraw();
    ApplyDrawScript(script, dynamic);
    dynamic.EndBatchDraw();  // the draw area replays the recording
    if (!area.WriteSvg(options.output.c_str())) {
        std::fprintf(stderr, "tessar draw: cannot write '%s'\n", options.output.c_str());
        return 2;
    }
    std::printf("wrote %s: %zu operations, %zu words, %d x %d pixels\n", options.output.c_str(),
                script.ops.size(), dynamic.GetOperations().size(), area.GetWidthPixels(),
                area.GetHeightPixels());
    return 0;
}

const TessarCommandRegistrar kDraw({"draw", "draw a script of operations into an SVG picture",
                                    kUsage.c_str(), RunDraw});

}  // namespace
