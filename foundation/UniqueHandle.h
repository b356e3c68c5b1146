// One owner shape for kernel handles: movable, not copyable; closing keeps
// the thread's last error, so an error code read after clean-up is still
// the failing call's.
#pragma once

#include "foundation/Win.h"

#include <utility>

template <typename Traits>
class UniqueOwner {
public:
    using Value = typename Traits::Value;

    UniqueOwner() = default;
    explicit UniqueOwner(Value value) : m_value(value) {}
    UniqueOwner(const UniqueOwner&) = delete;
    UniqueOwner& operator=(const UniqueOwner&) = delete;
    UniqueOwner(UniqueOwner&& other) noexcept : m_value(other.release()) {}
    UniqueOwner& operator=(UniqueOwner&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~UniqueOwner() { reset(); }

    Value get() const { return m_value; }
    bool valid() const { return m_value != Traits::Invalid(); }
    explicit operator bool() const { return valid(); }

    Value release() { return std::exchange(m_value, Traits::Invalid()); }

    void reset(Value value = Traits::Invalid()) {
        Value old = std::exchange(m_value, value);
        if (old != Traits::Invalid()) {
            DWORD lastError = GetLastError();
            Traits::Close(old);
            SetLastError(lastError);
        }
    }

private:
    Value m_value = Traits::Invalid();
};

struct KernelHandleTraits {  // processes, events, sections, threads
    using Value = HANDLE;
    static HANDLE Invalid() { return nullptr; }
    static void Close(HANDLE h) { CloseHandle(h); }
};

struct FileHandleTraits {  // CreateFile results
    using Value = HANDLE;
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { CloseHandle(h); }
};

struct FindHandleTraits {  // FindFirstFile results
    using Value = HANDLE;
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { FindClose(h); }
};

struct MappedViewTraits {  // MapViewOfFile results
    using Value = void*;
    static void* Invalid() { return nullptr; }
    static void Close(void* view) { UnmapViewOfFile(view); }
};

using UniqueHandle = UniqueOwner<KernelHandleTraits>;
using UniqueFile = UniqueOwner<FileHandleTraits>;
using UniqueFind = UniqueOwner<FindHandleTraits>;
using UniqueView = UniqueOwner<MappedViewTraits>;
