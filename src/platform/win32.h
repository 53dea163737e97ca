// The Win32 API as the program uses it.
//
// On Windows this is the toolchain's own headers. On the host it declares, for
// the unit tests, just the types, constants and functions the program calls,
// with the parameter order and values of the public documentation; the tests
// link those functions to an in-memory machine.
#pragma once

#ifdef _WIN32

#include <windows.h>
#include <winspool.h>

#else

#include <cstddef>
#include <cstdint>

#define WINAPI
#define APIENTRY

typedef int BOOL;
typedef unsigned char BYTE;
typedef std::uint32_t DWORD;
typedef std::int32_t LONG;
typedef unsigned int UINT;
typedef std::size_t SIZE_T;
typedef std::uintptr_t ULONG_PTR;
typedef DWORD ACCESS_MASK;
typedef ACCESS_MASK REGSAM;

typedef char* LPSTR;
typedef const char* LPCSTR;
typedef BYTE* LPBYTE;
typedef DWORD* LPDWORD;
typedef void* LPVOID;
typedef const void* LPCVOID;
typedef void* HLOCAL;

struct HINSTANCE__;
typedef HINSTANCE__* HINSTANCE;
struct HKEY__;
typedef HKEY__* HKEY;
typedef HKEY* PHKEY;

struct DEVMODEA;

// Level-2 printer information, 8-bit form: the fields in their documented order.
struct PRINTER_INFO_2A {
    LPSTR pServerName;
    LPSTR pPrinterName;
    LPSTR pShareName;
    LPSTR pPortName;
    LPSTR pDriverName;
    LPSTR pComment;
    LPSTR pLocation;
    DEVMODEA* pDevMode;
    LPSTR pSepFile;
    LPSTR pPrintProcessor;
    LPSTR pDatatype;
    LPSTR pParameters;
    void* pSecurityDescriptor;
    DWORD Attributes;
    DWORD Priority;
    DWORD DefaultPriority;
    DWORD StartTime;
    DWORD UntilTime;
    DWORD Status;
    DWORD cJobs;
    DWORD AveragePPM;
};

#define HKEY_LOCAL_MACHINE (reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000002u)))

const BOOL FALSE = 0;
const BOOL TRUE = 1;

const LONG ERROR_SUCCESS = 0;
const LONG ERROR_FILE_NOT_FOUND = 2;
const LONG ERROR_ACCESS_DENIED = 5;
const LONG ERROR_INVALID_HANDLE = 6;

const REGSAM KEY_ALL_ACCESS = 0xF003F;
const UINT LMEM_FIXED = 0x0000;
const UINT LMEM_ZEROINIT = 0x0040;
const DWORD PRINTER_ENUM_LOCAL = 0x00000002;
const DWORD PRINTER_ENUM_CONNECTIONS = 0x00000004;

extern "C" {

BOOL WINAPI EnumPrintersA(DWORD Flags, LPSTR Name, DWORD Level, LPBYTE pPrinterEnum, DWORD cbBuf,
                          LPDWORD pcbNeeded, LPDWORD pcReturned);

HLOCAL WINAPI LocalAlloc(UINT uFlags, SIZE_T uBytes);
HLOCAL WINAPI LocalHandle(LPCVOID pMem);
HLOCAL WINAPI LocalFree(HLOCAL hMem);

int WINAPI lstrcmpiA(LPCSTR lpString1, LPCSTR lpString2);
LPSTR WINAPI lstrcpyA(LPSTR lpString1, LPCSTR lpString2);
LPSTR WINAPI lstrcatA(LPSTR lpString1, LPCSTR lpString2);

LONG WINAPI RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired,
                          PHKEY phkResult);
LONG WINAPI RegFlushKey(HKEY hKey);
LONG WINAPI RegCloseKey(HKEY hKey);
LONG WINAPI RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey);

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nShowCmd);

}  // extern "C"

#endif
