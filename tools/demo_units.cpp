// Demo step: lengths, coordinates and angles as a user types and reads them.
#include <ostream>

#include "SYS_Convert.h"
#include "tessar_cli.h"

namespace {

void ShowUnits(std::ostream& out) {
    SYS_Convert mm(SYS_UnitMillimeters, SYS_Point(1500000 * 10, 0));  // origin at x = 10 mm
    const SYS_Point pad(1500000 * 12 + 750000, 1500000 * 4);
    out << "A pad at " << static_cast<const char*>(mm.Point2Str(pad)) << " "
        << static_cast<const char*>(mm.GetUnitName()) << " from the user origin\n";
    SYS_Convert::UnitTypeObj units;
    for (units.GetFirst(nullptr); units.IsValid(); units.GetNext()) {
        SYS_Convert in(units.GetType());
        out << "  its width of 2.5 mm in " << static_cast<const char*>(units.GetName()) << ": "
            << static_cast<const char*>(in.Measure2Str(1500000L * 5 / 2)) << "\n";
    }
    long x = 0;
    const char* typed[] = {"12.5", "-1", "12.5mm"};
    for (const char* text : typed) {
        out << "  typed x '" << text << "': ";
        if (mm.Str2CoordX(text, &x))
            out << x << " base units\n";
        else
            out << "refused\n";
    }
    long angle = 0;
    SYS_Convert::Str2Angle("22.5", &angle);
    out << "  22.5 degrees is " << angle << " angle units, shown as "
        << static_cast<const char*>(mm.Angle2Str(angle)) << "\n";
}

const TessarDemoRegistrar kStep({55, "Units: what a user types and reads", ShowUnits});

}  // namespace
