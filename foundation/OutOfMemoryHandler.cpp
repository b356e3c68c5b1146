#include "foundation/StructuredException.h"

#include <new>

namespace {

// The standard class's own text names the class, not the failure.
class BadAllocation : public std::bad_alloc {
public:
    const char* what() const noexcept override { return "bad allocation"; }
};

void OnOutOfMemory() {
    throw BadAllocation();
}

}  // namespace

void InstallOutOfMemoryHandler() {
    std::set_new_handler(OnOutOfMemory);
}
