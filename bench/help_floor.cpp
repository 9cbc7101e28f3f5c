// The floor for `zkf780a --help`: a plain C++ program that writes a usage text of the same
// kind through the standard library's streams and exits.

#include <iostream>

int main() {
    std::cout << "usage: help_floor VERB [ARGS...]\n\nverbs:\n"
                 "  build      runs MAKE ROM on a project\n"
                 "  inspect    lists what a ROM image holds\n"
                 "  upload     sends a ROM image to the controller\n";
    return 0;
}
