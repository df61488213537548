// The drawing scripts of `tessar draw`: every line of the input is parsed; a refused line has
// a message, an accepted script is recorded into a CDynamic on an SVG draw area and replayed.
// Invariants: parsing is deterministic, a refusal always says why, the recording is consumed
// by the replay without a report, and the picture is well-formed XML.
#include <string>

#include "../tests/draw/xml_check.h"
#include "../tools/draw_script.cpp"
#include "UI_SvgDrawArea.h"
#include "fuzz_harness.h"

namespace {

bool ParseAll(const std::string& text, DrawScript& script) {
    size_t start = 0;
    int number = 1;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string error;
        if (!ParseDrawScriptLine(text.substr(start, end - start), number++, script, error)) {
            fuzz::Require(!error.empty(), "a refused line says why");
            return false;
        }
        start = end + 1;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    DrawScript script, again;
    bool parsed = ParseAll(text, script);
    fuzz::Require(parsed == ParseAll(text, again) && script.ops.size() == again.ops.size(),
                  "parsing is deterministic");
    if (!parsed) return 0;
    UI_SvgDrawArea area(
        script.hasView ? script.view : SYS_Box(-1000000, -1000000, 1000000, 1000000), 200);
    CDynamic dynamic(&area);
    long reportsBefore = fuzz::s_reports;
    dynamic.StartBatchDraw();
    ApplyDrawScript(script, dynamic);
    dynamic.EndBatchDraw();
    bool longText = false;  // reported at replay, which cuts it to its working buffer
    for (const DrawScriptOp& op : script.ops) longText = longText || op.text.size() >= 1023;
    fuzz::Require(fuzz::s_reports == reportsBefore || longText,
                  "a parsed script records and replays without a report");
    draw_test::XmlCheck xml = draw_test::CheckXml(area.GetSvg());
    fuzz::Require(xml.wellFormed, "the SVG picture stays well-formed");
    return 0;
}
