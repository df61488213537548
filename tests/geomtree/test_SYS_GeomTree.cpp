#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "SYS_Geom.h"
#include "SYS_GeomTree.h"

namespace {

constexpr SYS_GeometryType kPointType = static_cast<SYS_GeometryType>(1);
constexpr SYS_GeometryType kSegmentType = static_cast<SYS_GeometryType>(5);

// A product-style iterator over a pad outline: two points and a segment between them.
class OutlineIterator : public SYS_GeomIterator {
public:
    explicit OutlineIterator(int* destroyed = nullptr)
        : m_destroyed(destroyed), m_points{SYS_Point(0, 0), SYS_Point(100, 50)},
          m_segment(m_points[0], m_points[1]) {
        SetMaxHandle(3);
    }
    ~OutlineIterator() override {
        if (m_destroyed != nullptr) ++*m_destroyed;
    }
    SYS_GeometryType GetObjectType() override {
        if (!IsValid()) return SYS_GeometryNone;
        return GetHandle() <= 2 ? kPointType : kSegmentType;
    }
    SYS_Point* GetPointValue() override {
        return GetObjectType() == kPointType ? &m_points[GetHandle() - 1] : nullptr;
    }
    SYS_Segment* GetSegmentValue() override {
        return GetObjectType() == kSegmentType ? &m_segment : nullptr;
    }

private:
    int* m_destroyed;
    SYS_Point m_points[2];
    SYS_Segment m_segment;
};

class Pad : public SYS_Geometry {
public:
    int IsValid() const override { return 1; }
    SYS_GeometryType GetGeometry() override { return kSegmentType; }
};

TEST(SYS_GeomIterator, BaseEnumeratesNothingAndAnswersNull) {
    SYS_GeomIterator base;
    base.GetFirst(nullptr);
    EXPECT_EQ(0, base.IsValid());
    EXPECT_EQ(SYS_GeometryNone, base.GetObjectType());
    const std::vector<const void*> getters = {
        base.GetPointValue(),  base.GetDoublePointValue(), base.GetLocationValue(),
        base.GetCircleValue(), base.GetSegmentValue(),     base.GetArcValue(),
        base.GetRectangleValue()};
    for (size_t i = 0; i < getters.size(); ++i) EXPECT_EQ(nullptr, getters[i]) << i;
}

TEST(SYS_GeomIterator, DerivedIteratorHandsOutEachPrimitiveOnce) {
    OutlineIterator outline;
    std::vector<SYS_GeometryType> types;
    std::vector<SYS_Point> points;
    int segments = 0;
    for (outline.GetFirst(nullptr); outline.IsValid(); outline.GetNext()) {
        types.push_back(outline.GetObjectType());
        if (SYS_Point* p = outline.GetPointValue()) points.push_back(*p);
        if (outline.GetSegmentValue() != nullptr) ++segments;
        EXPECT_EQ(nullptr, outline.GetArcValue());  // kinds it does not have stay null
    }
    EXPECT_EQ(std::vector<SYS_GeometryType>({kPointType, kPointType, kSegmentType}), types);
    ASSERT_EQ(2u, points.size());
    EXPECT_EQ(SYS_Point(100, 50), points[1]);
    EXPECT_EQ(1, segments);
    // A copy taken mid-way goes on from the same handle, independently.
    outline.GetFirst(nullptr);
    OutlineIterator copy(outline);
    copy.GetNext();
    EXPECT_EQ(1, outline.GetHandle());
    EXPECT_EQ(kPointType, copy.GetObjectType());
    EXPECT_EQ(SYS_Point(100, 50), *copy.GetPointValue());
}

TEST(SYS_Geometry, DeletingThroughTheBasesDestroysTheDerivedObject) {
    int destroyed = 0;
    std::unique_ptr<SYS_StdInterface> iterator(new OutlineIterator(&destroyed));
    iterator.reset();
    EXPECT_EQ(1, destroyed);
    std::unique_ptr<SYS_Geometry> pad(new Pad);
    EXPECT_EQ(1, pad->IsValid());
    EXPECT_EQ(kSegmentType, pad->GetGeometry());
    SYS_Geometry none;
    EXPECT_EQ(0, none.IsValid());
    EXPECT_EQ(SYS_GeometryNone, none.GetGeometry());
}

}  // namespace
