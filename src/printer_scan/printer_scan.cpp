#include "printer_scan/printer_scan.h"

namespace {

const char kTargetDriverName[] = "Zanto TONERA TX-4460";
const DWORD kPrinterEnumFlags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
const DWORD kPrinterInfoLevel = 2;
const UINT kBufferFlags = LMEM_FIXED | LMEM_ZEROINIT;

// The block is this much larger than the list the spooler asked for; the extra
// bytes are never offered to the spooler and stay zero.
const DWORD kBufferSlack = 4;
// The largest reported size that can still be enlarged by the slack in 32 bits.
const DWORD kMaxListSize = 0xFFFFFFFFu - kBufferSlack;

#ifdef _WIN32
// The records are walked as an array; this is the layout the 32-bit spooler writes.
static_assert(sizeof(PRINTER_INFO_2A) == 84, "level-2 printer record must be 84 bytes");
#endif

struct PrinterScan {
    LPBYTE buffer;
    const PRINTER_INFO_2A* cursor;
    DWORD count;
    DWORD index;
};

PrinterScan printerScan;

void ReleaseBuffer() {
    LocalFree(LocalHandle(printerScan.buffer));
}

// A record without a driver name cannot match. A matching record without a
// printer name is passed over: handing out null would end the scan early.
bool IsTargetPrinter(const PRINTER_INFO_2A& record) {
    if (record.pDriverName == nullptr) {
        return false;
    }
    if (lstrcmpiA(record.pDriverName, kTargetDriverName) != 0) {
        return false;
    }
    return record.pPrinterName != nullptr;
}

}  // namespace

int BeginPrinterScan() {
    // The first query only learns the size; it "fails" whenever printers exist.
    DWORD needed = 0;
    EnumPrintersA(kPrinterEnumFlags, nullptr, kPrinterInfoLevel, nullptr, 0, &needed,
                  &printerScan.count);
    if (needed > kMaxListSize) {
        printerScan.buffer = nullptr;
        return 0;
    }

    printerScan.buffer = static_cast<LPBYTE>(LocalAlloc(kBufferFlags, needed + kBufferSlack));
    if (printerScan.buffer == nullptr) {
        return 0;
    }

    if (!EnumPrintersA(kPrinterEnumFlags, nullptr, kPrinterInfoLevel, printerScan.buffer, needed,
                       &needed, &printerScan.count)) {
        ReleaseBuffer();
        return 0;
    }

    printerScan.index = 0;
    printerScan.cursor = reinterpret_cast<const PRINTER_INFO_2A*>(printerScan.buffer);
    return 1;
}

LPCSTR NextTargetPrinter() {
    while (printerScan.index < printerScan.count) {
        const PRINTER_INFO_2A* record = printerScan.cursor;
        ++printerScan.cursor;
        ++printerScan.index;
        if (IsTargetPrinter(*record)) {
            return record->pPrinterName;
        }
    }
    return nullptr;
}

void EndPrinterScan() {
    ReleaseBuffer();
}
