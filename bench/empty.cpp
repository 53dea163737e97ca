// The smallest GUI program the toolchain builds, for the size comparison.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return 0;
}
