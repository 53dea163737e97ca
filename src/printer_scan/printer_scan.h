// The printer scan: asks the spooler once for every installed printer and hands
// out, one at a time, the names of those that use the supported driver.
#pragma once

#include "platform/win32.h"

// Fetches the spooler's list of local printers and printer connections.
// Returns 1 when the list is held (release it with EndPrinterScan), 0 when
// nothing is held.
int BeginPrinterScan();

// The name of the next printer whose driver is the supported one, or null once
// the list is used up. The name lives in the scan's buffer until EndPrinterScan.
LPCSTR NextTargetPrinter();

// Releases the list fetched by a successful BeginPrinterScan.
void EndPrinterScan();
