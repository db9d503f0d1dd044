#ifndef QUILO_TESTS_UNIT_ALLOCATIONFAILURE_H
#define QUILO_TESTS_UNIT_ALLOCATIONFAILURE_H

// Running out of memory on demand: the unit tests' program replaces operator
// new (AllocationFailure.cpp) so that, while an object of this class lives,
// every allocation through it on the same thread throws std::bad_alloc. Every
// other thread, and every other moment, is served as usual.

class AllocationsFailOnThisThread {
public:
    AllocationsFailOnThisThread();
    ~AllocationsFailOnThisThread();
    AllocationsFailOnThisThread(const AllocationsFailOnThisThread&) = delete;
    AllocationsFailOnThisThread& operator=(const AllocationsFailOnThisThread&) = delete;
};

#endif
