// Keeps exceptions from crossing the component boundary: every interface
// method runs its body through Guarded.
#pragma once

#include <new>

#include "q5client/com.h"

namespace q5::component {

template <class Body>
HRESULT Guarded(Body&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

}  // namespace q5::component
