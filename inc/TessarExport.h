#pragma once

/// Marks the classes, free functions and statics that the shared library exports. Everything
/// else is built with hidden visibility and stays private to libTessar500r.so.
#define TESSAR_EXPORT __attribute__((visibility("default")))
