#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <random>

#include "SYS_LinConv.h"
#include "tessar_reports.h"

// The reports made while it lives. Every geometry check is a plain assert: the manager answers
// "continue" and the library goes on as it would without a debugger.
class GeomReports : public tessar_test::ScopedReportRecorder {
public:
    size_t Count() const { return Reports().size(); }
    // Reports with this message and unit, of type SSM_FailureAssert.
    size_t Count(const char* message, const char* unit) const {
        size_t n = 0;
        for (const tessar_test::Report& r : Reports())
            n += r.message == message && r.unit == unit && r.type == SSM_FailureAssert;
        return n;
    }
};

inline std::ostream& operator<<(std::ostream& out, const SYS_Point& p) {
    return out << "(" << p.GetX() << ", " << p.GetY() << ")";
}
inline std::ostream& operator<<(std::ostream& out, const SYS_Box& b) {
    return out << "(" << b.GetLeft() << ", " << b.GetLower() << ", " << b.GetRight() << ", "
               << b.GetUpper() << ")";
}

// Random values inside the coordinate range; seeded, so failures repeat.
class GeomRandom {
public:
    explicit GeomRandom(uint32_t seed) : m_engine(seed) {}
    int32_t Coord(int32_t limit = SYS_COORD_LIMIT - 1) { return Int(-limit, limit); }
    SYS_Point Point(int32_t limit = SYS_COORD_LIMIT - 1) {
        return SYS_Point(Coord(limit), Coord(limit));
    }
    int32_t Angle() { return Int(-SYS_FULL_TURN + 1, SYS_FULL_TURN - 1); }
    double Real(double lo, double hi) {
        return std::uniform_real_distribution<double>(lo, hi)(m_engine);
    }
    int32_t Int(int32_t lo, int32_t hi) {
        return std::uniform_int_distribution<int32_t>(lo, hi)(m_engine);
    }

private:
    std::mt19937 m_engine;
};

// A random transform made of up to four steps, with |scale| in [1, 2] so that rounding errors
// do not grow on the way back.
inline SYS_Transform RandomTransform(GeomRandom& rnd) {
    SYS_Transform t;
    const int steps = rnd.Int(1, 4);
    for (int i = 0; i < steps; ++i) {
        SYS_Transform step;
        const SYS_Point c = rnd.Point(100000000);
        switch (rnd.Int(0, 5)) {
            case 0: step.SetMove(rnd.Coord(100000000), rnd.Coord(100000000)); break;
            case 1: step.SetRotate(c, rnd.Angle()); break;
            case 2: step.SetRotate(c, rnd.Real(-1, 1), rnd.Real(-1, 1)); break;
            case 3: step.SetMirror(c, rnd.Angle()); break;
            case 4: step.SetMirror(c, rnd.Real(-9, 9), rnd.Real(-9, 9)); break;
            default: step.SetScale(c, rnd.Int(0, 1) ? rnd.Real(1, 2) : -rnd.Real(1, 2)); break;
        }
        t.AddConv(step);
    }
    return t;
}

constexpr double kTestPi = 3.14159265358979323846;
const char kGeomInline[] = "sys/SYS_Geom_Inline";
const char kLocgeom[] = "sys/locgeom";
