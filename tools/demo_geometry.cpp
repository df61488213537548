// Demo step: a part's outline placed on the board by a transform, its bounding box, and the
// parts of a routing area left free around it.
#include <cstdio>
#include <string>

#include "SYS_LinConv.h"
#include "tessar_cli.h"

namespace {

constexpr int32_t kMm = 1500000;  // base units per millimetre

std::string Mm(int32_t v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", double(v) / kMm);
    return text;
}

std::string Show(const SYS_Point& p) { return "(" + Mm(p.GetX()) + ", " + Mm(p.GetY()) + ")"; }

std::string Show(const SYS_Box& b) {
    return Show(b.GetLowerLeft()) + " .. " + Show(b.GetUpperRight());
}

void ShowGeometry(std::ostream& out) {
    // A 6 x 3 mm body drawn around its own origin, with a notch arc of radius 0.5 mm at its left
    // end.
    const SYS_Segment body[] = {
        {SYS_Point(-3 * kMm, -3 * kMm / 2), SYS_Point(3 * kMm, -3 * kMm / 2)},
        {SYS_Point(3 * kMm, -3 * kMm / 2), SYS_Point(3 * kMm, 3 * kMm / 2)},
        {SYS_Point(3 * kMm, 3 * kMm / 2), SYS_Point(-3 * kMm, 3 * kMm / 2)},
    };
    const SYS_Arc notch(SYS_Point(-3 * kMm, kMm / 2), SYS_Point(-3 * kMm, -kMm / 2),
                        SYS_Point(-3 * kMm, 0), -kMm / 2);  // clockwise: bulges into the body
    const SYS_Position placement(SYS_Point(25 * kMm, 10 * kMm), 30 * 1800000, 0);
    out << "Part outline in millimetres, placed at " << Show(placement.GetOrigin())
        << " rotated by 30 degrees:\n";

    const SYS_Transform place(placement, 0, 1, 0);  // local geometry onto the board
    SYS_Box bounds = SYS_Box::Unset();
    for (SYS_Segment edge : body) {
        edge.Transform(place);
        out << "  edge " << Show(edge.GetStart()) << " -> " << Show(edge.GetEnd()) << "\n";
        bounds.Combine(edge.GetBox());
    }
    SYS_Arc arc = notch;
    arc.Transform(place);
    out << "  notch " << Show(arc.GetStart()) << " -> " << Show(arc.GetEnd()) << " around "
        << Show(arc.GetCenter()) << ", sweep " << arc.GetSizeAngle() / 1800000.0 << " degrees\n";
    bounds.Combine(arc.GetBox());
    out << "Bounding box: " << Show(bounds) << "\n";

    SYS_Transform back;
    place.SetRConv(back);
    out << "Carried back by the inverse transform, the first corner is again "
        << Show(back + (place + body[0].GetStart())) << "\n";

    const SYS_Box area(20 * kMm, 5 * kMm, 30 * kMm, 15 * kMm);
    SYS_Box free[4];
    const int n = bounds.Clip(area, free);
    out << "Routing area " << Show(area) << " minus the part's box leaves " << n << " boxes:\n";
    for (int i = 0; i < n; ++i) out << "  " << Show(free[i]) << "\n";
}

const TessarDemoRegistrar kStep({50, "Geometry: placing a part", ShowGeometry});

}  // namespace
