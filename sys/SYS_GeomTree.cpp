#include "SYS_GeomTree.h"

int SYS_Geometry::IsValid() const { return 0; }
SYS_GeometryType SYS_Geometry::GetGeometry() { return SYS_GeometryNone; }
SYS_Geometry::~SYS_Geometry() = default;

SYS_GeomIterator::~SYS_GeomIterator() = default;
SYS_GeometryType SYS_GeomIterator::GetObjectType() { return SYS_GeometryNone; }
SYS_Point* SYS_GeomIterator::GetPointValue() { return nullptr; }
SYS_DoublePoint* SYS_GeomIterator::GetDoublePointValue() { return nullptr; }
SYS_Location* SYS_GeomIterator::GetLocationValue() { return nullptr; }
SYS_Circle* SYS_GeomIterator::GetCircleValue() { return nullptr; }
SYS_Segment* SYS_GeomIterator::GetSegmentValue() { return nullptr; }
SYS_Arc* SYS_GeomIterator::GetArcValue() { return nullptr; }
SYS_Box* SYS_GeomIterator::GetRectangleValue() { return nullptr; }
