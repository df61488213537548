// Demo step: a board outline drawn on an SVG draw area, and a part dragged over it as a
// rubber band recorded by a CDynamic. Each new drag position first erases the previous one by
// replaying it in exclusive-or; the picture keeps the last position. Writes tessar-demo.svg.
#include <climits>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "CDynamic.h"
#include "UI_SvgDrawArea.h"
#include "tessar_cli.h"

namespace {

constexpr int32_t kMm = 1500000;  // base units per millimetre
const char kFileName[] = "tessar-demo.svg";

// A 100 x 70 mm board with rounded corners of 5 mm and four mounting holes.
void DrawBoard(UI_SvgDrawArea& area) {
    area.PenColor(2);
    area.PenSize(kMm / 2);
    const int32_t w = 100 * kMm, h = 70 * kMm, r = 5 * kMm;
    area.DrawLine(SYS_Point(r, 0), SYS_Point(w - r, 0), kMm / 2, 2);
    area.DrawLine(SYS_Point(w, r), SYS_Point(w, h - r), kMm / 2, 2);
    area.DrawLine(SYS_Point(w - r, h), SYS_Point(r, h), kMm / 2, 2);
    area.DrawLine(SYS_Point(0, h - r), SYS_Point(0, r), kMm / 2, 2);
    // Each corner: its centre, and the quarter arc counter-clockwise from one edge to the next.
    const SYS_Point corners[4][3] = {
        {SYS_Point(r, r), SYS_Point(0, r), SYS_Point(r, 0)},
        {SYS_Point(w - r, r), SYS_Point(w - r, 0), SYS_Point(w, r)},
        {SYS_Point(w - r, h - r), SYS_Point(w, h - r), SYS_Point(w - r, h)},
        {SYS_Point(r, h - r), SYS_Point(r, h), SYS_Point(0, h - r)},
    };
    for (const auto& corner : corners) {
        const SYS_Point& c = corner[0];
        area.FastFrameArc(SYS_Box(c.GetX() - r, c.GetY() - r, c.GetX() + r, c.GetY() + r),
                          corner[1], corner[2]);
        area.FastFrameOval(SYS_Box(c.GetX() - kMm, c.GetY() - kMm, c.GetX() + kMm, c.GetY() + kMm));
    }
}

// One drag position of a 20 x 10 mm part: its outline, a cross-hair line and its label.
void RecordDragPosition(CDynamic& band, const SYS_Point& at) {
    band.StartBatchDraw();  // erases the previous position
    band.PenColor(4);       // the pen is part of the recording, so a replay erases exactly
    band.DrawXorBox(SYS_Box(at.GetX() - 10 * kMm, at.GetY() - 5 * kMm, at.GetX() + 10 * kMm,
                            at.GetY() + 5 * kMm));
    band.DrawLine(SYS_Point(0, at.GetY()), SYS_Point(at.GetX() - 10 * kMm, at.GetY()), 0, 4);
    band.TextSize(0, 3 * kMm);
    char label[64];
    std::snprintf(label, sizeof label, "U1 at %.1f, %.1f mm", double(at.GetX()) / kMm,
                  double(at.GetY()) / kMm);
    band.DrawXorText(label, 1, 1, SYS_Point(at.GetX(), at.GetY() + 8 * kMm), 1);
    band.EndBatchDraw();  // shows the new position
}

void ShowDrawing(std::ostream& out) {
    UI_SvgDrawArea area(SYS_Box(-10 * kMm, -10 * kMm, 110 * kMm, 80 * kMm), 800);
    DrawBoard(area);
    out << "Board outline drawn: " << area.GetPictureCount() << " elements.\n";
    CDynamic band(&area);
    const SYS_Point drag[] = {SYS_Point(30 * kMm, 20 * kMm), SYS_Point(45 * kMm, 30 * kMm),
                              SYS_Point(60 * kMm, 40 * kMm)};
    for (const SYS_Point& at : drag) {
        RecordDragPosition(band, at);
        out << "  dragged to (" << at.GetX() / kMm << ", " << at.GetY() / kMm
            << ") mm: " << band.GetOperations().size() << " words recorded, " << area.GetXorCount()
            << " exclusive-or elements on screen\n";
    }
    char directory[PATH_MAX];
    std::string path = getcwd(directory, sizeof directory) != nullptr
                           ? std::string(directory) + "/" + kFileName
                           : std::string(kFileName);
    if (area.WriteSvg(kFileName))
        out << "Picture written to " << path << "\n";
    else
        out << "Could not write " << path << "\n";
}

const TessarDemoRegistrar kStep({70, "Drawing: a rubber band over a board outline", ShowDrawing});

}  // namespace
