#include "fake_machine.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>

#include "platform/win32.h"

namespace fake {
namespace {

const LONG ERROR_INVALID_PARAMETER = 87;
const UINT LMEM_MOVEABLE = 0x0002;
// Requests above this are refused as the real heap would refuse them.
const SIZE_T kMaxAllocation = 64u << 20;
const char kPortName[] = "LPT1:";
const char kServerName[] = "\\\\PRINTSRV";

struct LiveBlock {
    BYTE* data = nullptr;  // null once released
    SIZE_T size = 0;
    HLOCAL handle = nullptr;
};

struct State {
    Machine machine;
    std::set<std::string> keys;
    std::set<std::string> locked;
    std::vector<Call> calls;
    int failAt = 0;
    bool failSizeQuery = false;
    std::optional<unsigned long> reportedSize;
    int enumCalls = 0;
    std::vector<int> releases;
    std::vector<LiveBlock> live;
    std::vector<std::string> memoryErrors;
    std::map<const void*, std::string> bufferLabels;
    std::map<HKEY, int> openKeys;
    int keyHandles = 0;
};

State& S() {
    static State state;
    return state;
}

std::string Fold(const std::string& text) {
    std::string folded = text;
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return folded;
}

void AddKey(const std::string& path, std::set<std::string>& into) {
    std::string folded = Fold(path);
    into.insert(folded);
    for (size_t cut = folded.find('\\'); cut != std::string::npos;
         cut = folded.find('\\', cut + 1)) {
        into.insert(folded.substr(0, cut));
    }
}

bool HasSubkey(const std::string& folded) {
    const std::string prefix = folded + "\\";
    auto next = S().keys.upper_bound(folded);
    return next != S().keys.end() && next->compare(0, prefix.size(), prefix) == 0;
}

// Starts recording a call; true when this call is the one made to fail.
bool Begin(const char* function) {
    State& s = S();
    s.calls.push_back(Call{function, {}, {}, 0, false});
    s.calls.back().failed = static_cast<int>(s.calls.size()) == s.failAt;
    return s.calls.back().failed;
}

Call& Current() {
    return S().calls.back();
}

int BlockOf(const void* pointer, bool startOnly) {
    const BYTE* p = static_cast<const BYTE*>(pointer);
    for (size_t i = 0; i < S().live.size(); ++i) {
        const LiveBlock& block = S().live[i];
        if (block.data == nullptr) {
            continue;
        }
        if (startOnly ? p == block.data : (p >= block.data && p < block.data + block.size)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::string Hex(unsigned long value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%lX", value);
    return text;
}

std::string BufferLabel(const void* pointer) {
    if (pointer == nullptr) {
        return "null";
    }
    int block = BlockOf(pointer, false);
    if (block >= 0) {
        std::string label = "block" + std::to_string(block + 1);
        size_t offset = static_cast<const BYTE*>(pointer) - S().live[block].data;
        return offset == 0 ? label : label + "+" + std::to_string(offset);
    }
    auto& labels = S().bufferLabels;
    auto found = labels.find(pointer);
    if (found == labels.end()) {
        found = labels.emplace(pointer, "buf" + std::to_string(labels.size() + 1)).first;
    }
    return found->second;
}

std::string Quoted(LPCSTR text) {
    if (text == nullptr) {
        return "null";
    }
    std::string quoted = "\"" + std::string(text) + "\"";
    int block = BlockOf(text, false);
    return block < 0 ? quoted : quoted + "@block" + std::to_string(block + 1);
}

std::string KeyLabel(HKEY key) {
    if (key == HKEY_LOCAL_MACHINE) {
        return "HKLM";
    }
    auto found = S().openKeys.find(key);
    if (found != S().openKeys.end()) {
        return "hkey" + std::to_string(found->second);
    }
    return "badkey";
}

std::vector<Printer> Listed(DWORD flags) {
    std::vector<Printer> listed;
    for (const Printer& printer : S().machine.printers) {
        DWORD kind = printer.connection ? PRINTER_ENUM_CONNECTIONS : PRINTER_ENUM_LOCAL;
        if (flags & kind) {
            listed.push_back(printer);
        }
    }
    return listed;
}

size_t StringSize(const Text& text) {
    return text ? text->size() + 1 : 0;
}

// Records first, their strings packed from the end of the buffer downwards.
void FillList(const std::vector<Printer>& printers, BYTE* buffer, DWORD size) {
    auto* records = reinterpret_cast<PRINTER_INFO_2A*>(buffer);
    BYTE* end = buffer + size;
    auto place = [&end](const std::string& text) {
        end -= text.size() + 1;
        std::memcpy(end, text.c_str(), text.size() + 1);
        return reinterpret_cast<LPSTR>(end);
    };
    for (size_t i = 0; i < printers.size(); ++i) {
        PRINTER_INFO_2A record{};
        const Printer& printer = printers[i];
        record.pServerName = printer.connection ? place(kServerName) : nullptr;
        record.pPrinterName = printer.name ? place(*printer.name) : nullptr;
        record.pPortName = place(kPortName);
        record.pDriverName = printer.driver ? place(*printer.driver) : nullptr;
        record.Attributes = printer.connection ? 0x10 : 0x40;
        record.Priority = 1;
        record.DefaultPriority = 1;
        std::memcpy(&records[i], &record, sizeof record);
    }
}

}  // namespace

void Reset(const Machine& machine) {
    for (LiveBlock& block : S().live) {
        delete[] block.data;
    }
    S() = State{};
    S().machine = machine;
    for (const std::string& key : machine.keys) {
        AddKey(key, S().keys);
    }
    for (const std::string& key : machine.lockedKeys) {
        AddKey(key, S().keys);
        S().locked.insert(Fold(key));
    }
}

void FailCall(int n) {
    S().failAt = n == 0 ? 0 : static_cast<int>(S().calls.size()) + n;
}
void FailSizeQuery() {
    S().failSizeQuery = true;
}
void ReportSize(unsigned long size) {
    S().reportedSize = size;
}

const std::vector<Call>& Calls() {
    return S().calls;
}

std::vector<std::string> Trace() {
    std::vector<std::string> lines;
    for (const Call& call : S().calls) {
        lines.push_back(call.text);
    }
    return lines;
}

std::vector<std::string> Keys() {
    return {S().keys.begin(), S().keys.end()};
}

std::vector<std::string> KeysOf(const std::vector<std::string>& keys) {
    std::set<std::string> all;
    for (const std::string& key : keys) {
        AddKey(key, all);
    }
    return {all.begin(), all.end()};
}
const std::vector<int>& BlockReleases() {
    return S().releases;
}
const std::vector<std::string>& MemoryErrors() {
    return S().memoryErrors;
}
int OpenKeyCount() {
    return static_cast<int>(S().openKeys.size());
}

unsigned long ListSize(const std::vector<Printer>& printers) {
    size_t size = 0;
    for (const Printer& printer : printers) {
        size += sizeof(PRINTER_INFO_2A) + StringSize(printer.name) + StringSize(printer.driver) +
                sizeof kPortName + (printer.connection ? sizeof kServerName : 0);
    }
    return static_cast<unsigned long>(size);
}

}  // namespace fake

using namespace fake;

extern "C" {

BOOL WINAPI EnumPrintersA(DWORD Flags, LPSTR Name, DWORD Level, LPBYTE pPrinterEnum, DWORD cbBuf,
                          LPDWORD pcbNeeded, LPDWORD pcReturned) {
    bool fail = Begin("EnumPrintersA");
    State& s = S();
    bool sizeQuery = s.enumCalls++ == 0;
    Call& call = Current();
    auto done = [&call](BOOL result) {
        call.result = result;
        call.text += " = " + std::to_string(result);
        return result;
    };
    call.text = "EnumPrintersA(" + Hex(Flags) + ", " + Quoted(Name) + ", " + std::to_string(Level) +
                ", " + BufferLabel(pPrinterEnum) + ", " + std::to_string(cbBuf) + ", " +
                (pcbNeeded ? "&" : "null") + ", " + (pcReturned ? "&" : "null") + ")";

    if (fail || Level != 2 || Name != nullptr || pcbNeeded == nullptr || pcReturned == nullptr) {
        return done(FALSE);
    }
    if (sizeQuery && s.failSizeQuery) {
        return done(FALSE);
    }
    std::vector<Printer> printers = Listed(Flags);
    DWORD needed = static_cast<DWORD>(ListSize(printers));
    if (sizeQuery && s.reportedSize) {
        *pcbNeeded = static_cast<DWORD>(*s.reportedSize);
        *pcReturned = 0;
        return done(FALSE);
    }
    if (cbBuf < needed || (pPrinterEnum == nullptr && cbBuf != 0)) {
        *pcbNeeded = needed;
        *pcReturned = 0;
        return done(FALSE);
    }
    FillList(printers, pPrinterEnum, cbBuf);
    *pcbNeeded = needed;
    *pcReturned = static_cast<DWORD>(printers.size());
    return done(TRUE);
}

HLOCAL WINAPI LocalAlloc(UINT uFlags, SIZE_T uBytes) {
    bool fail = Begin("LocalAlloc");
    Call& call = Current();
    call.text = "LocalAlloc(" + Hex(uFlags) + ", " + std::to_string(uBytes) + ")";
    if (fail || uBytes > kMaxAllocation || (uFlags & LMEM_MOVEABLE)) {
        call.text += " = null";
        return nullptr;
    }
    State& s = S();
    LiveBlock block;
    block.size = uBytes;
    block.data = new BYTE[uBytes == 0 ? 1 : uBytes];
    // Without LMEM_ZEROINIT the block holds garbage, so reliance on zeros shows.
    std::memset(block.data, (uFlags & LMEM_ZEROINIT) ? 0 : 0xA5, uBytes);
    block.handle = reinterpret_cast<HLOCAL>(static_cast<std::uintptr_t>(0x7000 + s.live.size()));
    s.live.push_back(block);
    s.releases.push_back(0);
    call.text += " = block" + std::to_string(s.live.size());
    return block.data;
}

HLOCAL WINAPI LocalHandle(LPCVOID pMem) {
    bool fail = Begin("LocalHandle");
    Call& call = Current();
    call.text = "LocalHandle(" + BufferLabel(pMem) + ")";
    int block = BlockOf(pMem, true);
    if (fail || block < 0) {
        call.text += " = null";
        return nullptr;
    }
    call.text += " = hlocal" + std::to_string(block + 1);
    return S().live[block].handle;
}

HLOCAL WINAPI LocalFree(HLOCAL hMem) {
    bool fail = Begin("LocalFree");
    State& s = S();
    Call& call = Current();
    for (size_t i = 0; i < s.live.size(); ++i) {
        LiveBlock& block = s.live[i];
        if (hMem != block.handle) {
            continue;
        }
        call.text = "LocalFree(hlocal" + std::to_string(i + 1) + ")";
        if (block.data == nullptr) {
            s.memoryErrors.push_back("block" + std::to_string(i + 1) + " released twice");
            return hMem;
        }
        if (fail) {
            return hMem;
        }
        delete[] block.data;
        block.data = nullptr;
        ++s.releases[i];
        return nullptr;
    }
    call.text = "LocalFree(" + BufferLabel(hMem) + ")";
    if (hMem != nullptr) {
        s.memoryErrors.push_back("LocalFree of " + BufferLabel(hMem) + ", not a handle");
        return hMem;
    }
    return nullptr;
}

int WINAPI lstrcmpiA(LPCSTR lpString1, LPCSTR lpString2) {
    Begin("lstrcmpiA");
    Current().text = "lstrcmpiA(" + Quoted(lpString1) + ", " + Quoted(lpString2) + ")";
    if (lpString1 == nullptr || lpString2 == nullptr) {
        S().memoryErrors.push_back("lstrcmpiA given a null string");
        return lpString1 == lpString2 ? 0 : (lpString1 == nullptr ? -1 : 1);
    }
    int order = Fold(lpString1).compare(Fold(lpString2));
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

LPSTR WINAPI lstrcpyA(LPSTR lpString1, LPCSTR lpString2) {
    Begin("lstrcpyA");
    Current().text = "lstrcpyA(" + BufferLabel(lpString1) + ", " + Quoted(lpString2) + ")";
    return std::strcpy(lpString1, lpString2);
}

LPSTR WINAPI lstrcatA(LPSTR lpString1, LPCSTR lpString2) {
    Begin("lstrcatA");
    Current().text = "lstrcatA(" + BufferLabel(lpString1) + ", " + Quoted(lpString2) + ")";
    return std::strcat(lpString1, lpString2);
}

LONG WINAPI RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired,
                          PHKEY phkResult) {
    bool fail = Begin("RegOpenKeyExA");
    State& s = S();
    Call& call = Current();
    call.path = lpSubKey ? lpSubKey : "";
    call.text = "RegOpenKeyExA(" + KeyLabel(hKey) + ", " + Quoted(lpSubKey) + ", " +
                std::to_string(ulOptions) + ", " + Hex(samDesired) + ")";
    std::string folded = Fold(call.path);
    LONG result = ERROR_SUCCESS;
    if (fail) {
        result = ERROR_ACCESS_DENIED;
    } else if (hKey != HKEY_LOCAL_MACHINE || lpSubKey == nullptr || phkResult == nullptr ||
               ulOptions != 0) {
        result = ERROR_INVALID_PARAMETER;
    } else if (s.keys.count(folded) == 0) {
        result = ERROR_FILE_NOT_FOUND;
    } else if (s.locked.count(folded) != 0) {
        result = ERROR_ACCESS_DENIED;
    }
    call.result = result;
    call.text += " = " + std::to_string(result);
    if (result != ERROR_SUCCESS) {
        return result;
    }
    int id = ++s.keyHandles;
    HKEY key = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x9000 + id));
    s.openKeys[key] = id;
    *phkResult = key;
    call.text += " -> hkey" + std::to_string(id);
    return result;
}

LONG WINAPI RegFlushKey(HKEY hKey) {
    bool fail = Begin("RegFlushKey");
    Call& call = Current();
    call.text = "RegFlushKey(" + KeyLabel(hKey) + ")";
    bool open = S().openKeys.count(hKey) != 0;
    call.result = fail ? ERROR_ACCESS_DENIED : (open ? ERROR_SUCCESS : ERROR_INVALID_HANDLE);
    call.text += " = " + std::to_string(call.result);
    return call.result;
}

LONG WINAPI RegCloseKey(HKEY hKey) {
    bool fail = Begin("RegCloseKey");
    Call& call = Current();
    call.text = "RegCloseKey(" + KeyLabel(hKey) + ")";
    // A failed close still leaves nothing the caller could close again.
    bool open = S().openKeys.erase(hKey) != 0;
    call.result = fail ? ERROR_INVALID_HANDLE : (open ? ERROR_SUCCESS : ERROR_INVALID_HANDLE);
    call.text += " = " + std::to_string(call.result);
    return call.result;
}

LONG WINAPI RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey) {
    bool fail = Begin("RegDeleteKeyA");
    State& s = S();
    Call& call = Current();
    call.path = lpSubKey ? lpSubKey : "";
    call.text = "RegDeleteKeyA(" + KeyLabel(hKey) + ", " + Quoted(lpSubKey) + ")";
    std::string folded = Fold(call.path);
    LONG result = ERROR_SUCCESS;
    if (fail) {
        result = ERROR_ACCESS_DENIED;
    } else if (hKey != HKEY_LOCAL_MACHINE || lpSubKey == nullptr || folded.empty()) {
        result = ERROR_INVALID_PARAMETER;
    } else if (s.keys.count(folded) == 0) {
        result = ERROR_FILE_NOT_FOUND;
    } else if (s.locked.count(folded) != 0 || HasSubkey(folded)) {
        // The registry deletes only keys without subkeys.
        result = ERROR_ACCESS_DENIED;
    } else {
        s.keys.erase(folded);
    }
    call.result = result;
    call.text += " = " + std::to_string(result);
    return result;
}

}  // extern "C"
