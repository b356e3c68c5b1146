// Holds one reference to an object with AddRef/Release (COM interfaces and
// the program's own reference-counted objects). Dereferencing an empty
// holder is an assertion failure.
#pragma once

#include "foundation/Errors.h"

#include <utility>

template <typename T>
class RefPtr {
public:
    RefPtr() = default;
    // Takes a reference of its own.
    explicit RefPtr(T* ptr) : m_ptr(ptr) {
        if (m_ptr != nullptr) m_ptr->AddRef();
    }
    RefPtr(const RefPtr& other) : RefPtr(other.m_ptr) {}
    RefPtr(RefPtr&& other) noexcept : m_ptr(std::exchange(other.m_ptr, nullptr)) {}
    RefPtr& operator=(RefPtr other) noexcept {
        std::swap(m_ptr, other.m_ptr);
        return *this;
    }
    ~RefPtr() { Reset(); }

    // Adopts a reference the caller already owns (a fresh object, an
    // interface returned by a query).
    void Attach(T* ptr) {
        Reset();
        m_ptr = ptr;
    }
    T* Detach() { return std::exchange(m_ptr, nullptr); }

    void Reset() {
        if (T* old = std::exchange(m_ptr, nullptr)) old->Release();
    }

    T* get() const { return m_ptr; }
    explicit operator bool() const { return m_ptr != nullptr; }

    T* operator->() const {
        VELL_ASSERT(m_ptr != 0, kSource, kDereference);
        return m_ptr;
    }
    T& operator*() const {
        VELL_ASSERT(m_ptr != 0, kSource, kDereference);
        return *m_ptr;
    }

private:
    static constexpr const char* kSource = "foundation/RefPtr.h";
    // Report line number is fixed, whatever the layout of this file.
    static constexpr unsigned kDereference = 49;

    T* m_ptr = nullptr;
};
