// The floor for the benchmark: only the calls the job needs (the list, the
// comparison, the open and the delete), with nothing else around them.
#include <windows.h>
#include <winspool.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    DWORD needed = 0;
    DWORD count = 0;
    EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 2, nullptr, 0, &needed,
                  &count);
    LPBYTE buffer = static_cast<LPBYTE>(LocalAlloc(LMEM_FIXED, needed));
    if (buffer == nullptr) {
        return 0;
    }
    if (EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 2, buffer, needed,
                      &needed, &count)) {
        const PRINTER_INFO_2A* printers = reinterpret_cast<const PRINTER_INFO_2A*>(buffer);
        char path[260];
        for (DWORD i = 0; i < count; ++i) {
            if (lstrcmpiA(printers[i].pDriverName, "Zanto TONERA TX-4460") != 0) {
                continue;
            }
            lstrcpyA(path, "Software\\Zanto\\ZPD4\\");
            lstrcatA(path, printers[i].pPrinterName);
            lstrcatA(path, "\\PROFILE\\PRESET_PERMISSION");
            HKEY key;
            if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
                RegCloseKey(key);
                RegDeleteKeyA(HKEY_LOCAL_MACHINE, path);
            }
        }
    }
    LocalFree(buffer);
    return 0;
}
