#pragma once

#include "SYS_StdInterface.h"
#include "TessarExport.h"

class SYS_Point;
class SYS_DoublePoint;
class SYS_Location;
class SYS_Circle;
class SYS_Segment;
class SYS_Arc;
class SYS_Box;

/// The kind of a geometry primitive as the product numbers it; 0 means none. The library
/// attaches no meaning to the other values.
enum SYS_GeometryType : int { SYS_GeometryNone = 0 };

/// An object that exposes geometry without the library knowing it. The base is not valid and
/// has no geometry.
class TESSAR_EXPORT SYS_Geometry {
public:
    SYS_Geometry() = default;
    /// Geometry objects hold no state of their own.
    ///@{
    SYS_Geometry(const SYS_Geometry&) = default;
    SYS_Geometry& operator=(const SYS_Geometry&) = default;
    ///@}

    /// Non-zero when the object holds usable geometry; the base answers 0.
    virtual int IsValid() const;
    /// The kind of the object's geometry; SYS_GeometryNone in the base.
    virtual SYS_GeometryType GetGeometry();
    virtual ~SYS_Geometry();
};

/// Hands out the geometry primitives of an object one by one: GetFirst/GetNext enumerate
/// handles, and for the current handle GetObjectType says which primitive it is and the getter
/// of that kind points to it (valid until the iterator moves or its object changes). Every
/// getter of the base answers 0 or null. Copying copies the handle state.
class TESSAR_EXPORT SYS_GeomIterator : public SYS_StdInterface {
public:
    /// Maximum handle 0: the base enumerates nothing.
    SYS_GeomIterator() : SYS_StdInterface(0) {}
    /// Copy the handle state.
    ///@{
    SYS_GeomIterator(const SYS_GeomIterator&) = default;
    SYS_GeomIterator& operator=(const SYS_GeomIterator&) = default;
    ///@}
    ~SYS_GeomIterator() override;

    /// The kind of the current primitive, which names the getter to use; SYS_GeometryNone in the
    /// base.
    virtual SYS_GeometryType GetObjectType();
    /// The current primitive when it is of the getter's kind (see GetObjectType); the pointer stays
    /// valid until the iterator moves or its object changes. Null in the base.
    ///@{
    virtual SYS_Point* GetPointValue();
    virtual SYS_DoublePoint* GetDoublePointValue();
    virtual SYS_Location* GetLocationValue();
    virtual SYS_Circle* GetCircleValue();
    virtual SYS_Segment* GetSegmentValue();
    virtual SYS_Arc* GetArcValue();
    virtual SYS_Box* GetRectangleValue();
    ///@}
};
