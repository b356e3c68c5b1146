// COM for the calling thread and the interfaces it hands out.
#pragma once

#include "foundation/CallResult.h"
#include "foundation/Errors.h"
#include "foundation/Win.h"

#include <objbase.h>

#include <cstdint>

// COM for the calling thread, apartment-threaded, for the holder's lifetime.
// Never throws: a failed initialisation shows in the next COM call.
class ComInit : public ComCallResult {
public:
    ComInit() {
        HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        Record(L"CoInitializeEx()", static_cast<std::uint32_t>(result));
    }
    ~ComInit() override {
        // S_FALSE (already initialised on this thread) needs its own balancing call.
        if (Succeeded()) CoUninitialize();
    }
    ComInit(const ComInit&) = delete;
    ComInit& operator=(const ComInit&) = delete;
};

// Holds one reference of a COM interface. Creation failures throw
// Norlib::ComException; a refused interface query is only recorded.
template <typename I>
class ComInstance : public ComCallResult {
public:
    ComInstance() = default;
    ~ComInstance() override { Reset(); }
    ComInstance(const ComInstance&) = delete;
    ComInstance& operator=(const ComInstance&) = delete;

    void Create(REFCLSID classId, IUnknown* outer, DWORD context, REFIID interfaceId) {
        Reset();
        void* object = nullptr;
        HRESULT result = CoCreateInstance(classId, outer, context, interfaceId, &object);
        Record(L"CoCreateInstance()", static_cast<std::uint32_t>(result));
        if (FAILED(result)) throw Norlib::ComException(*this);
        m_ptr = static_cast<I*>(object);
    }

    // Asking a holder that has no interface is refused with E_POINTER.
    template <typename Source>
    void QueryInterface(const ComInstance<Source>& from, REFIID interfaceId) {
        Reset();
        void* object = nullptr;
        HRESULT result = from.get() ? from.get()->QueryInterface(interfaceId, &object) : E_POINTER;
        Record(L"QueryInterface()", static_cast<std::uint32_t>(result));
        if (SUCCEEDED(result)) m_ptr = static_cast<I*>(object);
    }

    I* get() const { return m_ptr; }
    I* operator->() const { return m_ptr; }

private:
    void Reset() {
        if (m_ptr) m_ptr->Release();
        m_ptr = nullptr;
    }

    I* m_ptr = nullptr;
};
