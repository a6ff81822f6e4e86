// Saves the user memories or the band stacks over and over, alternating between two contents,
// until it is killed: the tests kill it at random moments and check the file it leaves. A byte on
// standard output marks each finished save.
// Usage: memory_save_loop memories|bandstacks <path>
#include "app/memory/SaveLoopContent.h"  // tests/app/memory

#include <unistd.h>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s memories|bandstacks <path>\n", argv[0]);
        return 2;
    }
    const bool memories = std::strcmp(argv[1], "memories") == 0;
    for (unsigned long turn = 0;; ++turn) {
        if (!vm::test::saveContent(memories, int(turn % 2), argv[2]) || ::write(1, ".", 1) != 1) {
            return 1;
        }
    }
}
