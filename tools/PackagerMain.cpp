#include <iostream>
#include <string>
#include <vector>

#include "Packager.h"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return RunPackager(arguments, std::cout, std::cerr);
}
