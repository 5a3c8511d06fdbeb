// tarnix-run: the headless command (filled in by the formats and run work).
#include <cstdio>
int main() {
    std::puts("tarnix-run: nothing to do yet");
    return 0;
}
