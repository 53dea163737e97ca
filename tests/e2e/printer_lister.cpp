// Lists the printers the spooler reports, "name<TAB>driver" a line, so that a
// test can see the seeded machine is the one the program will find.
#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <vector>

int main() {
    DWORD needed = 0;
    DWORD count = 0;
    EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 2, nullptr, 0, &needed,
                  &count);
    std::vector<BYTE> buffer(needed + 1);
    if (!EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 2, buffer.data(),
                       needed, &needed, &count)) {
        std::printf("error=EnumPrintersA failed (%lu)\n", GetLastError());
        return 1;
    }
    const PRINTER_INFO_2A* printers = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
        std::printf("%s\t%s\n", printers[i].pPrinterName ? printers[i].pPrinterName : "(null)",
                    printers[i].pDriverName ? printers[i].pDriverName : "(null)");
    }
    return 0;
}
