// Prints the ANSI code page Windows (or Wine) runs the tests with; the Windows test stage
// needs 932, the code page the program's narrow strings are in.
#include <windows.h>

#include <cstdio>

int main() {
    std::printf("%u\n", GetACP());
}
