// Builders for the call lines the fake machine records, so that a test states
// the whole expected sequence of platform calls in a few readable lines.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "fake_machine.h"

namespace expected {

const std::string kDriver = "Zanto TONERA TX-4460";
const std::string kRoot = "Software\\Zanto\\ZPD4\\";
const std::string kSuffix = "\\PROFILE\\PRESET_PERMISSION";

inline std::string KeyPath(const std::string& printer) {
    return kRoot + printer + kSuffix;
}

class Calls {
public:
    // The two spooler queries and the allocation between them.
    Calls& Begin(unsigned long listSize, int listResult = 1, int block = 1) {
        return SizeQuery(listSize == 0 ? 1 : 0)
            .Alloc(listSize + 4, block)
            .ListQuery(listSize, listResult, block);
    }
    Calls& SizeQuery(int result) {
        return Add("EnumPrintersA(0x6, null, 2, null, 0, &, &) = " + std::to_string(result));
    }
    Calls& Alloc(unsigned long size, int block = 1) {
        return Add("LocalAlloc(0x40, " + std::to_string(size) + ") = " + Block(block));
    }
    Calls& FailedAlloc(unsigned long size) {
        return Add("LocalAlloc(0x40, " + std::to_string(size) + ") = null");
    }
    Calls& ListQuery(unsigned long size, int result, int block = 1) {
        return Add("EnumPrintersA(0x6, null, 2, " + Block(block) + ", " + std::to_string(size) +
                   ", &, &) = " + std::to_string(result));
    }
    Calls& Release(int block = 1) {
        Add("LocalHandle(" + Block(block) + ") = hlocal" + std::to_string(block));
        return Add("LocalFree(hlocal" + std::to_string(block) + ")");
    }
    // One lstrcmpiA per driver name, in order.
    Calls& Compare(std::initializer_list<std::string> drivers, int block = 1) {
        for (const std::string& driver : drivers) {
            Add("lstrcmpiA(\"" + driver + "\"@" + Block(block) + ", \"" + kDriver + "\")");
        }
        return *this;
    }
    Calls& BuildPath(const std::string& printer, int block = 1) {
        Add("lstrcpyA(buf1, \"" + kRoot + "\")");
        Add("lstrcatA(buf1, \"" + printer + "\"@" + Block(block) + ")");
        return Add("lstrcatA(buf1, \"" + kSuffix + "\")");
    }
    // A failed open: the printer is passed over.
    Calls& OpenFails(const std::string& printer, long result) {
        return Add(Open(printer) + " = " + std::to_string(result));
    }
    // Open, flush, close and delete of one printer's key.
    Calls& Remove(const std::string& printer, int handle, long deleteResult = 0,
                  long flushResult = 0, long closeResult = 0) {
        const std::string key = "hkey" + std::to_string(handle);
        Add(Open(printer) + " = 0 -> " + key);
        Add("RegFlushKey(" + key + ") = " + std::to_string(flushResult));
        Add("RegCloseKey(" + key + ") = " + std::to_string(closeResult));
        return Add("RegDeleteKeyA(HKLM, \"" + KeyPath(printer) +
                   "\") = " + std::to_string(deleteResult));
    }
    Calls& Add(const std::string& line) {
        lines_.push_back(line);
        return *this;
    }
    operator std::vector<std::string>() const { return lines_; }

private:
    static std::string Block(int block) { return "block" + std::to_string(block); }
    static std::string Open(const std::string& printer) {
        return "RegOpenKeyExA(HKLM, \"" + KeyPath(printer) + "\", 0, 0xF003F)";
    }
    std::vector<std::string> lines_;
};

}  // namespace expected
