// Vector of elements of any type with datavect's rules: a failed allocation
// is remembered in af_ instead of thrown (every later use then asserts), and
// storage grows to exactly the number of elements needed.
#pragma once

#include "foundation/datavect.h"

#include <new>
#include <utility>

namespace VellVector_checks {

constexpr char kSource[] = "foundation/VellVector.h";
// Report line numbers are fixed, whatever the layout of this file.
constexpr unsigned kStorage = 207;
constexpr unsigned kBack = 218;
constexpr unsigned kElement = 328;

}  // namespace VellVector_checks

template <typename T>
class VellVector {
    static_assert(std::is_nothrow_move_constructible<T>::value, "elements move into a grown block without throwing");

public:
    VellVector() = default;
    VellVector(const VellVector&) = delete;
    VellVector& operator=(const VellVector&) = delete;
    ~VellVector() {
        clear();
        releaseBlock();
    }

    std::uint32_t af() const { return af_; }
    std::uint32_t capacity() const { return capacity_; }
    std::uint32_t size() const { return s_; }
    void setWipeHook(WipeHook hook) { wipe_ = hook; }

    // False when the allocation failed; a constructor that throws leaves the
    // vector unchanged.
    template <typename... Args>
    bool emplace_back(Args&&... args) {
        using namespace VellVector_checks;
        VELL_ASSERT(!af_, kSource, kStorage);
        if (s_ < capacity_) {
            ::new (static_cast<void*>(p_ + s_)) T(std::forward<Args>(args)...);
        } else if (!growWith(std::forward<Args>(args)...)) {
            return false;
        }
        ++s_;
        return true;
    }
    bool push_back(const T& value) { return emplace_back(value); }
    bool push_back(T&& value) { return emplace_back(std::move(value)); }

    void clear() {
        for (std::uint32_t i = 0; i < s_; ++i) p_[i].~T();
        s_ = 0;
    }

    T* data() {
        using namespace VellVector_checks;
        VELL_ASSERT(!af_, kSource, kStorage);
        return p_;
    }
    T* begin() { return data(); }
    T* end() { return data() + s_; }

    T& operator[](std::uint32_t i) {
        using namespace VellVector_checks;
        VELL_ASSERT(!af_, kSource, kElement);
        return p_[i];
    }
    const T& operator[](std::uint32_t i) const {
        using namespace VellVector_checks;
        VELL_ASSERT(!af_, kSource, kElement);
        return p_[i];
    }

    T& back() {
        using namespace VellVector_checks;
        VELL_ASSERT(!af_ && size(), kSource, kBack);
        return p_[s_ - 1];
    }

private:
    // Builds the new element in a block of exactly one more element before
    // the old ones move, so that arguments referring into the vector stay
    // valid.
    template <typename... Args>
    bool growWith(Args&&... args) {
        const std::uint64_t needed = std::uint64_t{s_} + 1;
        T* block = static_cast<T*>(vell::AllocateElements(needed, sizeof(T)));
        if (block == nullptr) {
            af_ = vell::FailedCount(needed);
            return false;
        }
        try {
            ::new (static_cast<void*>(block + s_)) T(std::forward<Args>(args)...);
        } catch (...) {
            std::free(block);
            throw;
        }
        for (std::uint32_t i = 0; i < s_; ++i) {
            ::new (static_cast<void*>(block + i)) T(std::move(p_[i]));
            p_[i].~T();
        }
        releaseBlock();
        p_ = block;
        capacity_ = static_cast<std::uint32_t>(needed);
        return true;
    }

    void releaseBlock() {
        if (p_ == nullptr) return;
        if (wipe_ != nullptr) wipe_(p_, capacity_ * sizeof(T));
        std::free(p_);
        p_ = nullptr;
        capacity_ = 0;
    }

    std::uint32_t af_ = 0;
    T* p_ = nullptr;
    std::uint32_t s_ = 0;
    std::uint32_t capacity_ = 0;
    WipeHook wipe_ = nullptr;
};
