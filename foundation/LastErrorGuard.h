// Keep the thread's last Windows error across clean-up calls, so that an
// error read after the clean-up is still the failing call's.
#pragma once

#include "foundation/Win.h"

// Records the last error when armed and puts it back when released (at the
// latest on destruction).
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
