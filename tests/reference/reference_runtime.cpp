// Stands in for the runtime executable when the tests pack an install
// directory: the bridge only copies its bytes, it is never started.
#include <cstdio>

int main() {
    std::puts("reference runtime");
    return 0;
}
