// A file handle shared by copies: the last copy to go closes it, when it
// was given ownership.
#pragma once

#include "foundation/Win.h"

#include <utility>

class SharedHandle {
public:
    SharedHandle() = default;
    SharedHandle(HANDLE handle, bool owns) : m_handle(handle), m_owns(owns), m_count(new LONG(1)) {}

    SharedHandle(const SharedHandle& other) : m_handle(other.m_handle), m_owns(other.m_owns), m_count(other.m_count) {
        if (m_count) InterlockedIncrement(m_count);
    }

    SharedHandle& operator=(const SharedHandle& other) {
        SharedHandle copy(other);
        Swap(copy);
        return *this;
    }

    ~SharedHandle() { Release(); }

    HANDLE Get() const { return m_handle; }

private:
    void Swap(SharedHandle& other) {
        std::swap(m_handle, other.m_handle);
        std::swap(m_owns, other.m_owns);
        std::swap(m_count, other.m_count);
    }

    void Release() {
        if (!m_count || InterlockedDecrement(m_count) != 0) return;
        delete m_count;
        if (m_owns && m_handle != INVALID_HANDLE_VALUE && m_handle) {
            DWORD lastError = GetLastError();
            CloseHandle(m_handle);
            SetLastError(lastError);
        }
    }

    HANDLE m_handle = INVALID_HANDLE_VALUE;
    bool m_owns = false;
    LONG* m_count = nullptr;
};
