#include "removal/removal.h"

#include "platform/win32.h"
#include "printer_scan/printer_scan.h"

namespace {

const char kDriverKeyRoot[] = "Software\\Zanto\\ZPD4\\";
const char kPresetPermissionSuffix[] = "\\PROFILE\\PRESET_PERMISSION";
const DWORD kKeyPathCapacity = 260;
const DWORD kOpenOptions = 0;

// Root, name, suffix and terminator must fit the path buffer.
const DWORD kMaxPrinterNameLength =
    kKeyPathCapacity - (sizeof kDriverKeyRoot - 1) - (sizeof kPresetPermissionSuffix - 1) - 1;
static_assert(kMaxPrinterNameLength == 213, "a 213-byte name gives a 259-byte path");

// Counts bytes, not characters, and reads no further than one byte past the
// longest name that fits.
bool FitsKeyPath(LPCSTR printerName) {
    for (DWORD length = 0; length <= kMaxPrinterNameLength; ++length) {
        if (printerName[length] == '\0') {
            return true;
        }
    }
    return false;
}

}  // namespace

void RemovePresetPermissionKeys() {
    if (!BeginPrinterScan()) {
        return;
    }

    char path[kKeyPathCapacity];
    for (LPCSTR printerName = NextTargetPrinter(); printerName != nullptr;
         printerName = NextTargetPrinter()) {
        // A path that would not fit the buffer is never built: the printer is passed over.
        if (!FitsKeyPath(printerName)) {
            continue;
        }
        lstrcpyA(path, kDriverKeyRoot);
        lstrcatA(path, printerName);
        lstrcatA(path, kPresetPermissionSuffix);

        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, kOpenOptions, KEY_ALL_ACCESS, &key) !=
            ERROR_SUCCESS) {
            continue;
        }
        // Flushed and closed first so that no handle is open across the delete.
        RegFlushKey(key);
        RegCloseKey(key);
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, path);
    }

    EndPrinterScan();
}
