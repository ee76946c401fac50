#include <cstdio>

int main()
{
    std::fputs("usage: rvcps-cli [--home DIR] new|info|dump ...\n", stderr);
    return 2;
}
