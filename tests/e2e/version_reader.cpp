// Reads an executable's version record the way Windows programs do, through
// version.dll, and prints it one field a line for the test to compare. The
// string table is also walked in file order, which VerQueryValue cannot tell.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

struct Node {
    WORD length;
    WORD valueLength;
    WORD type;  // 1: text value, 0: binary
    std::string key;
    const BYTE* children;
    const BYTE* end;
};

const BYTE* Align(const BYTE* origin, const BYTE* at) {
    return origin + ((at - origin + 3) & ~static_cast<std::ptrdiff_t>(3));
}

Node Read(const BYTE* origin, const BYTE* at) {
    Node node;
    node.length = *reinterpret_cast<const WORD*>(at);
    node.valueLength = *reinterpret_cast<const WORD*>(at + 2);
    node.type = *reinterpret_cast<const WORD*>(at + 4);
    const WCHAR* key = reinterpret_cast<const WCHAR*>(at + 6);
    size_t keyLength = 0;
    while (key[keyLength] != 0) {
        node.key += static_cast<char>(key[keyLength]);
        ++keyLength;
    }
    const BYTE* value = Align(origin, at + 6 + (keyLength + 1) * sizeof(WCHAR));
    size_t valueBytes = node.type == 1 ? node.valueLength * sizeof(WCHAR) : node.valueLength;
    node.children = Align(origin, value + valueBytes);
    node.end = at + node.length;
    return node;
}

std::vector<Node> Children(const BYTE* origin, const Node& parent) {
    std::vector<Node> children;
    for (const BYTE* at = parent.children; at < parent.end;) {
        Node child = Read(origin, at);
        if (child.length == 0) {
            break;
        }
        children.push_back(child);
        at = Align(origin, child.end);
    }
    return children;
}

void PrintVersion(const char* name, DWORD high, DWORD low) {
    std::printf("%s=%u.%u.%u.%u\n", name, static_cast<unsigned>(HIWORD(high)),
                static_cast<unsigned>(LOWORD(high)), static_cast<unsigned>(HIWORD(low)),
                static_cast<unsigned>(LOWORD(low)));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::printf("usage: version_reader FILE\n");
        return 2;
    }
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(argv[1], &ignored);
    if (size == 0) {
        std::printf("error=no version record (%lu)\n", GetLastError());
        return 1;
    }
    std::vector<BYTE> data(size);
    if (!GetFileVersionInfoA(argv[1], 0, size, data.data())) {
        std::printf("error=GetFileVersionInfoA failed (%lu)\n", GetLastError());
        return 1;
    }

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length) ||
        length < sizeof *fixed) {
        std::printf("error=no fixed part\n");
        return 1;
    }
    std::printf("signature=0x%08lX\n", fixed->dwSignature);
    PrintVersion("file_version", fixed->dwFileVersionMS, fixed->dwFileVersionLS);
    PrintVersion("product_version", fixed->dwProductVersionMS, fixed->dwProductVersionLS);
    std::printf("flags_mask=0x%lX\n", fixed->dwFileFlagsMask);
    std::printf("flags=0x%lX\n", fixed->dwFileFlags);
    std::printf("os=0x%lX\n", fixed->dwFileOS);
    std::printf("type=0x%lX\n", fixed->dwFileType);
    std::printf("subtype=0x%lX\n", fixed->dwFileSubtype);
    std::printf("date=0x%lX 0x%lX\n", fixed->dwFileDateMS, fixed->dwFileDateLS);

    WORD* translation = nullptr;
    if (VerQueryValueA(data.data(), "\\VarFileInfo\\Translation",
                       reinterpret_cast<void**>(&translation), &length)) {
        for (UINT i = 0; i + 1 < length / sizeof(WORD); i += 2) {
            std::printf("translation=0x%04X 0x%04X\n", translation[i], translation[i + 1]);
        }
    }

    // The strings in the order they are stored, each read back by name.
    const BYTE* origin = data.data();
    Node root = Read(origin, origin);
    for (const Node& block : Children(origin, root)) {
        if (block.key != "StringFileInfo") {
            continue;
        }
        for (const Node& table : Children(origin, block)) {
            std::printf("table=%s\n", table.key.c_str());
            for (const Node& string : Children(origin, table)) {
                std::string query = "\\StringFileInfo\\" + table.key + "\\" + string.key;
                char* value = nullptr;
                if (!VerQueryValueA(data.data(), query.c_str(), reinterpret_cast<void**>(&value),
                                    &length)) {
                    std::printf("string %s: not found by name\n", string.key.c_str());
                    continue;
                }
                std::printf("string %s=%s\n", string.key.c_str(), value);
            }
        }
    }
    return 0;
}
