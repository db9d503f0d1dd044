#include "tests/unit/AllocationFailure.h"

#include <cstdlib>
#include <new>

namespace {

thread_local bool t_allocationsFail = false;

}  // namespace

AllocationsFailOnThisThread::AllocationsFailOnThisThread() {
    t_allocationsFail = true;
}

AllocationsFailOnThisThread::~AllocationsFailOnThisThread() {
    t_allocationsFail = false;
}

void* operator new(std::size_t size) {
    if (t_allocationsFail) {
        throw std::bad_alloc();
    }
    if (void* memory = std::malloc(size ? size : 1)) {
        return memory;
    }
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept {
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}
