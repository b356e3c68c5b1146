// Owners of system handles, and of the thread's last error across the
// clean-up calls that close them.
#pragma once

#include "foundation/Win.h"

#include <utility>

// Keeps the thread's last Windows error across clean-up calls, so that an
// error read after the clean-up is still the failing call's: records it when
// armed and puts it back when released (at the latest on destruction).
class LastErrorSaver {
public:
    LastErrorSaver() = default;
    LastErrorSaver(const LastErrorSaver&) = delete;
    LastErrorSaver& operator=(const LastErrorSaver&) = delete;
    ~LastErrorSaver() { Release(); }

    void Arm() {
        m_error = GetLastError();
        m_armed = true;
    }

    void Release() {
        if (m_armed) {
            SetLastError(m_error);
            m_armed = false;
        }
    }

private:
    DWORD m_error = 0;
    bool m_armed = false;
};

// Owns a block that the system allocated with LocalAlloc (FormatMessage
// buffers and the like).
class LocalFreeHolder {
public:
    explicit LocalFreeHolder(void* block = nullptr) : m_block(block) {}
    LocalFreeHolder(const LocalFreeHolder&) = delete;
    LocalFreeHolder& operator=(const LocalFreeHolder&) = delete;
    ~LocalFreeHolder() { reset(); }

    void* get() const { return m_block; }

    void reset(void* block = nullptr) {
        if (m_block != nullptr) {
            LastErrorSaver saver;
            saver.Arm();
            LocalFree(m_block);
        }
        m_block = block;
    }

private:
    void* m_block;
};

// One owner shape for kernel handles: movable, not copyable; closing keeps
// the thread's last error, so an error code read after clean-up is still
// the failing call's.
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

// A file handle shared by copies: the last copy to go closes it, when it
// was given ownership.
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
