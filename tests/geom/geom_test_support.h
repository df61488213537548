#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "SSM.h"
#include "SYS_LinConv.h"

// What a failed check reported: its message and source unit.
struct GeomReport {
    std::string message;
    std::string unit;
};

// Collects the reports made while it lives, through an assertion manager of its own whose
// report hook records each failure (all geometry checks are of type SSM_FailureAssert, so the
// manager answers "continue" and the library goes on as it would without a debugger).
class GeomReports {
public:
    GeomReports();
    ~GeomReports();
    GeomReports(const GeomReports&) = delete;
    GeomReports& operator=(const GeomReports&) = delete;
    const std::vector<GeomReport>& Get() const;
    size_t Count() const { return Get().size(); }
    // Number of reports with this message and unit.
    size_t Count(const char* message, const char* unit) const;
    void Clear();

private:
    static int Record(int type, int* data);

    std::unique_ptr<SSM> m_manager;
    SCC_EventHook<int> m_hook;
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
