#include "foundation/ComInit.h"

#include "foundation/Win.h"

#include <objbase.h>

#include <cstdint>

ComInit::ComInit() {
    HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    Record(L"CoInitializeEx()", static_cast<std::uint32_t>(result));
}

ComInit::~ComInit() {
    // S_FALSE (already initialised on this thread) needs its own balancing call.
    if (Succeeded()) CoUninitialize();
}
