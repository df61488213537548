#pragma once

#include "TessarExport.h"

/// @file
/// Diagnostic entry points of the library, kept so that hosts built with a test repeater link
/// and run unchanged. The library records nothing: every call has no effect and costs a call.

/// Names a function whose calls a test repeater would record.
struct TESSAR_EXPORT SYS_TestFncID {
    SYS_TestFncID();
    /// A function named `name` (not copied: it must outlive the record) with identifier `id`.
    SYS_TestFncID(const char* name, long id);

    const char* Name;  ///< not owned; null by default
    long ID;           ///< 0 by default
};

/// One record of a test repeater: a function and how often it was called.
struct TESSAR_EXPORT SYS_TestRec {
    SYS_TestRec();

    /// The function the record is about.
    SYS_TestFncID Function;
    long Count;  ///< 0 by default
};

/// The test repeater's session and recording calls. The library records nothing: every call has no
/// effect.
class TESSAR_EXPORT SYS_TestRepeater {
public:
    /// Start and stop a recording session: nothing is recorded.
    ///@{
    static void Start();
    static void Stop();
    ///@}
    /// Accepts a record and keeps nothing; answers 0.
    static int Record(const SYS_TestRec& record);
};
