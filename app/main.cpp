#include <cstdio>

int main() {
    std::puts("tesuko: the recorder core is built; the tray front end is not there yet.");
    return 0;
}
