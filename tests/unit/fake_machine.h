// An in-memory Windows machine behind the platform calls the program makes:
// a spooler with a list of printers, the keys under HKEY_LOCAL_MACHINE, and
// local memory. Every call is recorded with its arguments, and any one call
// can be made to fail.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace fake {

using Text = std::optional<std::string>;  // nullopt is a null pointer
inline const Text kNull = std::nullopt;

struct Printer {
    Text name;
    Text driver;
    bool connection = false;  // a connection to a shared printer, not a local queue
};

struct Machine {
    std::vector<Printer> printers;
    // Keys under HKEY_LOCAL_MACHINE; every ancestor of a listed key exists too.
    std::vector<std::string> keys;
    // Keys that exist but refuse KEY_ALL_ACCESS.
    std::vector<std::string> lockedKeys;
};

// What the program did at one platform call.
struct Call {
    std::string function;
    std::string text;     // the call with its arguments and result, as in Trace()
    std::string path;     // the key path, for RegOpenKeyExA and RegDeleteKeyA
    long result = 0;      // the registry calls' result
    bool failed = false;  // made to fail by FailCall
};

// Empties the recorded calls and memory and installs a machine.
void Reset(const Machine& machine = {});

// Makes the n-th platform call (1-based) from now on fail in its documented
// way; 0 makes none fail.
void FailCall(int n);
// The first spooler query fails without reporting a size.
void FailSizeQuery();
// The first spooler query reports this size whatever the printers need.
void ReportSize(unsigned long size);

const std::vector<Call>& Calls();
// One line a call, e.g. RegOpenKeyExA(HKLM, "Software\A", 0, 0xF003F) = 0 -> hkey1
std::vector<std::string> Trace();

// Every key under HKEY_LOCAL_MACHINE, in lower case, sorted.
std::vector<std::string> Keys();
// The same form for a machine holding these keys and their ancestors.
std::vector<std::string> KeysOf(const std::vector<std::string>& keys);

// For each local memory block handed out so far, in order, how many times
// LocalFree has released it.
const std::vector<int>& BlockReleases();
// Misuse of memory the double noticed (a free of a foreign handle, a double free).
const std::vector<std::string>& MemoryErrors();
// Registry key handles open now.
int OpenKeyCount();

// The size in bytes the spooler needs for these printers, on this host.
unsigned long ListSize(const std::vector<Printer>& printers);

}  // namespace fake
