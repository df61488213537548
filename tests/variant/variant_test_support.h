#pragma once

#include <string>

#include "SYS_Exception.h"

// The text of the SYS_Exception a call throws, or "" when it returns.
template <class Call>
std::string ThrownText(Call call) {
    try {
        call();
    } catch (const SYS_Exception& e) {
        return static_cast<const char*>(e.GetText());
    }
    return "";
}
