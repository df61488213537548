#pragma once

#include <cstdint>

#include "TessarExport.h"

// Booleans of the library's interface are int with these two values.
#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

/// A handle names an object of a data source; 0 means none. Handles are pointer-sized so that
/// an object's address can serve as its handle on a 64-bit host.
typedef intptr_t SYS_Handle;

/// Screen types of the drawing interface, in device pixels.
struct CPoint {
    /// The point's column and row in pixels.
    ///@{
    int x;
    int y;
    ///@}
};

/// A screen rectangle in device pixels.
struct CRect {
    /// The rectangle's edges in pixels.
    ///@{
    int left;
    int top;
    int right;
    int bottom;
    ///@}
};

/// An icon of the host's user interface; opaque to the library.
typedef struct PLT_Icon* HICON;
