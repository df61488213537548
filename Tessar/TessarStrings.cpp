#include "Tessar/TessarStrings.h"

const char kTessarModuleName[] = "Tessar500r";

// The texts the library itself asks for, and those the host relies on finding here, under
// their fixed numbers. Numbers whose texts the host supplies itself are absent.
const PLT_StringEntry kTessarStrings[] = {
    {250, "Can't open %s"},
    {251, "Can't close %s"},
    {252, "Can't read %s"},
    {253, "Can't write %s"},
    {254, "Failed to copy %s to %s"},
    {255, "Failed to move/rename %s to %s"},
    {256, "Failed to delete %s"},
    {45060, "Invalid integer"},
    {45061, "Value should be unsigned integer."},
    {45062, "Invalid floating point format."},
    {45063, "Value out of range."},
    {45064, "Please enter a value within the %c%lf,%lf%c range."},
    {45065, "Invalid or out-of-range value."},
    {45103, "Error %i occurred (no further info)."},
    {45104, "Mils"},
    {45105, "Millimeters"},
    {45106, "Inches"},
    {45107, "Microns"},
};

const size_t kTessarStringCount = sizeof kTessarStrings / sizeof kTessarStrings[0];
