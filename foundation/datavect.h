// Element vector of the container layer. Allocation failure never throws:
// the number of elements asked for is remembered in af_, the contents stay
// as they were, and every later use of the container is an assertion
// failure. Storage grows to exactly the number of elements needed.
#pragma once

#include "foundation/Errors.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <type_traits>

// Called on memory that a container gives up (the old block before a
// reallocation frees it, the tail vacated by an erase, the block on
// destruction), so that sensitive bytes can be cleared first.
using WipeHook = void (*)(void* block, std::size_t bytes);

namespace vell {

// No block exceeds what a 32-bit process could address at all, so that a
// request beyond it fails alike on every build.
constexpr std::uint64_t kMaxBlockBytes = 0x7FFFFFFF;

inline void* AllocateElements(std::uint64_t count, std::size_t elementSize) {
    if (count == 0 || count > kMaxBlockBytes / elementSize) return nullptr;
    return std::malloc(static_cast<std::size_t>(count * elementSize));
}

// What af_ records for a request: never 0, at most the largest 32-bit count.
inline std::uint32_t FailedCount(std::uint64_t needed) {
    return needed > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(needed);
}

}  // namespace vell

namespace datavect_checks {

constexpr char kSource[] = "foundation/datavect.h";
// Report line numbers are fixed, so that reports stay comparable whatever
// the layout of this file.
constexpr unsigned kGrow = 87;
constexpr unsigned kResize = 111;
constexpr unsigned kBack = 217;
constexpr unsigned kInsertWhere = 243;
constexpr unsigned kInsertCount = 246;
constexpr unsigned kEraseRange = 282;
constexpr unsigned kEraseFirst = 283;
constexpr unsigned kEraseLast = 284;
constexpr unsigned kEraseAt = 302;
constexpr unsigned kErasePos = 303;
constexpr unsigned kEraseCount = 306;
constexpr unsigned kData = 320;
constexpr unsigned kDataConst = 321;
constexpr unsigned kSize = 324;
constexpr unsigned kEnd = 326;
constexpr unsigned kEndConst = 327;
constexpr unsigned kIndex = 332;
constexpr unsigned kIndexConst = 335;

}  // namespace datavect_checks

template <typename T>
class datavect {
    static_assert(std::is_trivially_copyable<T>::value, "elements are moved with memmove");

public:
    datavect() = default;
    datavect(const datavect&) = delete;
    datavect& operator=(const datavect&) = delete;
    datavect(datavect&& other) noexcept { take(other); }
    datavect& operator=(datavect&& other) noexcept {
        if (this != &other) {
            release();
            take(other);
        }
        return *this;
    }
    ~datavect() { release(); }

    // Unchecked, so that a caller can test for a failed allocation right
    // after the operation that asked for it.
    std::uint32_t af() const { return af_; }
    std::uint32_t capacity() const { return capacity_; }
    void setWipeHook(WipeHook hook) { wipe_ = hook; }

    // Makes room for count elements; false when the allocation failed.
    bool reserve(std::uint32_t count) { return grow(count); }

    // New elements are value-initialised; false when the allocation failed.
    bool resize(std::uint32_t count) {
        using namespace datavect_checks;
        VELL_ASSERT(!af_, kSource, kResize);
        if (count > s_) {
            if (!grow(count)) return false;
            for (std::uint32_t i = s_; i < count; ++i) p_[i] = T();
        } else {
            wipe(p_ + count, (s_ - count) * sizeof(T));
        }
        s_ = count;
        return true;
    }

    void push_back(const T& value) { insert(end(), &value, 1); }

    T& back() {
        using namespace datavect_checks;
        VELL_ASSERT(!af_ && s_, kSource, kBack);
        return p_[s_ - 1];
    }

    // Inserts count elements copied from source, which may point into this
    // vector, before where.
    void insert(T* where, const T* source, std::ptrdiff_t count) {
        using namespace datavect_checks;
        VELL_ASSERT((where >= p_) && (where <= p_ + s_), kSource, kInsertWhere);
        VELL_ASSERT(count >= 0, kSource, kInsertCount);
        const std::uint64_t added = static_cast<std::uint64_t>(count);
        insertAt(static_cast<std::uint32_t>(where - p_), source, added, s_ + added);
    }

    // Removes [p1, p2); the elements after it move down.
    void erase(T* p1, T* p2) {
        using namespace datavect_checks;
        VELL_ASSERT(!af_, kSource, kEraseRange);
        VELL_ASSERT((p1 >= p_) && (p1 <= p_ + s_), kSource, kEraseFirst);
        VELL_ASSERT((p2 >= p1) && (p2 <= p_ + s_), kSource, kEraseLast);
        const std::size_t count = static_cast<std::size_t>(p2 - p1);
        if (count == 0) return;
        std::memmove(p1, p2, static_cast<std::size_t>(p_ + s_ - p2) * sizeof(T));
        s_ -= static_cast<std::uint32_t>(count);
        wipe(p_ + s_, count * sizeof(T));
    }

    void erase(std::uint32_t pos, std::uint32_t count) {
        using namespace datavect_checks;
        VELL_ASSERT(!af_, kSource, kEraseAt);
        VELL_ASSERT(pos <= s_, kSource, kErasePos);
        // Compared without the sum, which could wrap around.
        if (count > s_ - pos) AssertFailed("pos + count <= s_", kSource, kEraseCount);
        erase(p_ + pos, p_ + pos + count);
    }

    T* data() {
        using namespace datavect_checks;
        VELL_ASSERT(!af_, kSource, kData);
        return p_;
    }
    const T* data() const {
        using namespace datavect_checks;
        VELL_ASSERT(!af_, kSource, kDataConst);
        return p_;
    }
    std::uint32_t size() const {
        using namespace datavect_checks;
        VELL_ASSERT(!af_, kSource, kSize);
        return s_;
    }
    T* begin() { return data(); }
    const T* begin() const { return data(); }
    T* end() {
        using namespace datavect_checks;
        VELL_ASSERT(!af_, kSource, kEnd);
        return p_ + s_;
    }
    const T* end() const {
        using namespace datavect_checks;
        VELL_ASSERT(!af_, kSource, kEndConst);
        return p_ + s_;
    }
    // The report of a failed check quotes the expression as written here.
    // clang-format off
    T& operator[](std::uint32_t i) {
        using namespace datavect_checks;
        VELL_ASSERT(!af_ && i<s_, kSource, kIndex);
        return p_[i];
    }
    const T& operator[](std::uint32_t i) const {
        using namespace datavect_checks;
        VELL_ASSERT(!af_ && i<s_, kSource, kIndexConst);
        return p_[i];
    }
    // clang-format on

protected:
    // Storage for `needed` elements: exactly that many are allocated when
    // the capacity is too small. On failure af_ records the request and the
    // contents stay as they were.
    bool grow(std::uint64_t needed) {
        using namespace datavect_checks;
        VELL_ASSERT(!af_, kSource, kGrow);
        if (needed <= capacity_) return true;
        T* block = static_cast<T*>(vell::AllocateElements(needed, sizeof(T)));
        if (block == nullptr) {
            af_ = vell::FailedCount(needed);
            return false;
        }
        if (s_ != 0) std::memcpy(block, p_, s_ * sizeof(T));
        releaseBlock();
        p_ = block;
        capacity_ = static_cast<std::uint32_t>(needed);
        return true;
    }

    // Inserts count elements at index pos, growing the storage to `needed`.
    void insertAt(std::uint32_t pos, const T* source, std::uint64_t count, std::uint64_t needed) {
        // A source inside this vector moves when the storage grows.
        const bool inside = p_ != nullptr && source >= p_ && source < p_ + s_;
        const std::size_t from = inside ? static_cast<std::size_t>(source - p_) : 0;
        if (!grow(needed) || count == 0) return;
        const std::size_t added = static_cast<std::size_t>(count);
        T* at = p_ + pos;
        std::memmove(at + added, at, (s_ - pos) * sizeof(T));
        if (inside) {
            copyMoved(pos, from, added);
        } else {
            std::memcpy(at, source, added * sizeof(T));
        }
        s_ += static_cast<std::uint32_t>(added);
    }

    std::uint32_t af_ = 0;
    T* p_ = nullptr;
    std::uint32_t s_ = 0;
    std::uint32_t capacity_ = 0;
    WipeHook wipe_ = nullptr;

private:
    // Copies to pos the count elements that were at index `from` before the
    // elements from pos on moved count places up.
    void copyMoved(std::size_t pos, std::size_t from, std::size_t count) {
        T* at = p_ + pos;
        if (from + count <= pos) {
            std::memcpy(at, p_ + from, count * sizeof(T));
        } else if (from >= pos) {
            std::memcpy(at, p_ + from + count, count * sizeof(T));
        } else {
            const std::size_t head = pos - from;
            std::memcpy(at, p_ + from, head * sizeof(T));
            std::memcpy(at + head, at + count, (count - head) * sizeof(T));
        }
    }

    void wipe(void* block, std::size_t bytes) const {
        if (wipe_ != nullptr && bytes != 0) wipe_(block, bytes);
    }

    void releaseBlock() {
        if (p_ == nullptr) return;
        wipe(p_, capacity_ * sizeof(T));
        std::free(p_);
        p_ = nullptr;
        capacity_ = 0;
    }

    void release() {
        releaseBlock();
        s_ = 0;
    }

    void take(datavect& other) {
        af_ = other.af_;
        p_ = other.p_;
        s_ = other.s_;
        capacity_ = other.capacity_;
        wipe_ = other.wipe_;
        other.af_ = 0;
        other.p_ = nullptr;
        other.s_ = 0;
        other.capacity_ = 0;
    }
};
