#include "platform/win32.h"
#include "removal/removal.h"

namespace {

// The exit code says the program ran; whatever it found is not reported.
const int kExitCode = 0;

}  // namespace

// Takes no options: the command line and the other arguments are not read.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    RemovePresetPermissionKeys();
    return kExitCode;
}
