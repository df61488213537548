#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "SYS_Geom.h"
#include "SYS_GeomTree.h"

namespace {

// A product-style iterator over a pad outline of three primitives.
class OutlineIterator : public SYS_GeomIterator {
public:
    explicit OutlineIterator(int* destroyed = nullptr) : m_destroyed(destroyed) {
        SetMaxHandle(3);
    }
    ~OutlineIterator() override {
        if (m_destroyed != nullptr) ++*m_destroyed;
    }

private:
    int* m_destroyed;
};

// A geometry that keeps every answer of its base.
class Pad : public SYS_Geometry {};

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

TEST(SYS_GeomIterator, DerivedIteratorWalksEachHandleOnceAndCopiesGoOnAlone) {
    OutlineIterator outline;
    std::vector<SYS_Handle> handles;
    for (outline.GetFirst(nullptr); outline.IsValid(); outline.GetNext())
        handles.push_back(outline.GetHandle());
    EXPECT_EQ(std::vector<SYS_Handle>({1, 2, 3}), handles);
    OutlineIterator copy(outline);
    EXPECT_EQ(outline.GetHandle(), copy.GetHandle());
}

TEST(SYS_Geometry, DeletingThroughTheBasesDestroysTheDerivedObject) {
    int destroyed = 0;
    std::unique_ptr<SYS_StdInterface> iterator(new OutlineIterator(&destroyed));
    iterator.reset();
    EXPECT_EQ(1, destroyed);
    std::unique_ptr<SYS_Geometry> pad(new Pad);
    EXPECT_EQ(0, pad->IsValid());
    EXPECT_EQ(SYS_GeometryNone, pad->GetGeometry());
}

}  // namespace
