#include <cstdio>

int main() {
    std::puts("zelk-cli: not built yet");
    return 0;
}
