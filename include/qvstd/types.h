// Basic types shared by the component and its host.
#pragma once
#include <cstddef>
#include <cstdint>

namespace qvstd {

// One byte names a value type in the descriptor tables and in the result
// protocol.
enum eTypeCode : uint8_t {
    TC_NONE = 0x00,
    TC_BOOL = 0x01,
    TC_INT = 0x08,
    TC_INT8 = 0x09,
    TC_CURRENCY = 0x0A,
    TC_REAL = 0x0C,
    TC_HINSTANCE = 0x0E,
    TC_HWND = 0x0F,
    TC_STRING = 0x10,      // property strings; Unicode text pointer in results
    TC_CONSTSTR = 0x12,    // zero-terminated text owned by the component
    TC_DSTR = 0x13,        // dynamic string
    TC_PSZ = 0x17,         // ANSI text pointer (results only)
    TC_DATE = 0x18,
    TC_TIME = 0x19,
    TC_DATETIME = 0x1A,
    TC_DURATION = 0x1B,
    TC_BUFFER = 0x1C,
    TC_VARIANT = 0x1F,
    TC_INTARRAY = 0x40,
    TC_SELF = 0x4B,        // the function body hands its result over itself
    TC_VERSIONINFO = 0x6F,
};

constexpr int COMPONENT_NUMBER = 8;
constexpr int LANGUAGE_VERSION = 733;
constexpr int LANGUAGE_FIRST = 12;   // interface language that picks the French names
constexpr const char* MODULE_FILE = "qv150std.so";
constexpr const char* MODULE_VERSION = "15.00Gab";

}  // namespace qvstd
