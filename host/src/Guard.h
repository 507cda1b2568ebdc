// Every exported host function reports failures through its error record instead of throwing
// across the plug-in boundary.
#pragma once

#include "Values.h"

#include <new>
#include <stdexcept>

namespace fmhost {

struct HostError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

template <class R, class F>
R guarded(fmx::_fmxcpt& x, R fallback, F&& f) {
    x.m_code = fmx::_fmxcpt::kNoErr;
    try {
        return f();
    } catch (const std::bad_alloc&) {
        x.m_code = fmx::_fmxcpt::kBadAlloc;
    } catch (...) {
        x.m_code = fmx::_fmxcpt::kUnknown;
    }
    return fallback;
}

template <class F>
void guardedVoid(fmx::_fmxcpt& x, F&& f) {
    x.m_code = fmx::_fmxcpt::kNoErr;
    try {
        f();
    } catch (const std::bad_alloc&) {
        x.m_code = fmx::_fmxcpt::kBadAlloc;
    } catch (...) {
        x.m_code = fmx::_fmxcpt::kUnknown;
    }
}

// For functions returning a reference: the fallback is a static empty object.
template <class T>
const T& emptyOf() {
    static const T empty{};
    return empty;
}

}  // namespace fmhost
