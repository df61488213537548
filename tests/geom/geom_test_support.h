#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "SYS_LinConv.h"

// Every failed check of the library goes through SSM_CheckFailed; this test executable defines
// its own, which the dynamic linker prefers to the library's, so that tests can read what was
// reported (message and unit) instead of breaking into a debugger.
struct GeomReport {
    std::string message;
    std::string unit;
};

// Collects the reports made while it lives.
class GeomReports {
public:
    GeomReports();
    ~GeomReports();
    const std::vector<GeomReport>& Get() const;
    size_t Count() const { return Get().size(); }
    // Number of reports with this message and unit.
    size_t Count(const char* message, const char* unit) const;
    void Clear();
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
    int32_t Coord(int32_t limit = SYS_COORD_LIMIT - 1) {
        return std::uniform_int_distribution<int32_t>(-limit, limit)(m_engine);
    }
    SYS_Point Point(int32_t limit = SYS_COORD_LIMIT - 1) {
        return SYS_Point(Coord(limit), Coord(limit));
    }
    int32_t Angle() {
        return std::uniform_int_distribution<int32_t>(-SYS_FULL_TURN + 1,
                                                      SYS_FULL_TURN - 1)(m_engine);
    }
    double Real(double lo, double hi) {
        return std::uniform_real_distribution<double>(lo, hi)(m_engine);
    }
    int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_engine); }
    std::mt19937& Engine() { return m_engine; }

private:
    std::mt19937 m_engine;
};

constexpr double kTestPi = 3.14159265358979323846;
