// Fails each platform call of one run in turn and checks what must hold
// whatever fails.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "expected_calls.h"
#include "fake_machine.h"
#include "platform/win32.h"

namespace {

using expected::kDriver;
using expected::KeyPath;

// Calls that can fail on a real machine. The string calls cannot with valid
// pointers, and lstrcmpiA has no failure of its own.
const std::set<std::string> kFailable = {"EnumPrintersA", "LocalAlloc",    "LocalHandle",
                                         "LocalFree",     "RegOpenKeyExA", "RegFlushKey",
                                         "RegCloseKey",   "RegDeleteKeyA"};
const std::set<std::string> kScanCalls = {"EnumPrintersA", "LocalAlloc"};
const std::set<std::string> kReleaseCalls = {"LocalHandle", "LocalFree"};

const std::string kRoot = expected::kRoot;
const std::vector<std::string> kSeededKeys = {kRoot + "NoKey\\PROFILE\\OTHER", KeyPath("Lobby"),
                                              KeyPath("Office"), KeyPath("Plant"),
                                              kRoot + "Plant\\PROFILE\\PAPER"};

fake::Machine SweepMachine() {
    return {{{"NoKey", kDriver},
             {"Lobby", "Generic Text Only"},
             {"Office", kDriver},
             {"Locked", "ZANTO TONERA TX-4460"},
             {"Plant", "zanto tonera tx-4460"}},
            kSeededKeys,
            {KeyPath("Locked")}};
}

bool IsPresetPermissionPath(const std::string& path) {
    const std::string& suffix = expected::kSuffix;
    return path.size() > kRoot.size() + suffix.size() &&
           path.compare(0, kRoot.size(), kRoot) == 0 &&
           path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0;
}

int RunWithFailure(int n) {
    fake::Reset(SweepMachine());
    fake::FailCall(n);
    char commandLine[] = "";
    return WinMain(nullptr, nullptr, commandLine, 1);
}

int CountOf(const std::vector<fake::Call>& calls, const std::string& function) {
    return static_cast<int>(std::count_if(calls.begin(), calls.end(), [&](const fake::Call& call) {
        return call.function == function;
    }));
}

void ExpectOnlyPresetKeysTouched(const std::vector<fake::Call>& calls) {
    std::string lastOpened;
    bool lastOpenSucceeded = false;
    for (const fake::Call& call : calls) {
        if (call.function == "RegOpenKeyExA") {
            EXPECT_TRUE(IsPresetPermissionPath(call.path)) << call.text;
            lastOpened = call.path;
            lastOpenSucceeded = call.result == ERROR_SUCCESS;
        } else if (call.function == "RegDeleteKeyA") {
            EXPECT_TRUE(IsPresetPermissionPath(call.path)) << call.text;
            EXPECT_EQ(call.path, lastOpened) << call.text;
            EXPECT_TRUE(lastOpenSucceeded) << "delete without a successful open: " << call.text;
            lastOpenSucceeded = false;
        }
    }
}

// The list's block, when there is one, is released exactly once, by the run's
// last two calls; without one the failed allocation or size refusal is last.
void ExpectBlockReleasedOnceAtTheEnd(const std::vector<fake::Call>& calls, bool releaseFailed) {
    const std::vector<int>& releases = fake::BlockReleases();
    ASSERT_LE(releases.size(), 1u);
    if (releases.empty()) {
        EXPECT_EQ(calls.back().function, "LocalAlloc");
        return;
    }
    EXPECT_EQ(releases[0], releaseFailed ? 0 : 1);
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[calls.size() - 2].function, "LocalHandle");
    EXPECT_EQ(calls.back().function, "LocalFree");
    EXPECT_EQ(CountOf(calls, "LocalHandle"), 1);
    EXPECT_EQ(CountOf(calls, "LocalFree"), 1);
}

TEST(FaultSweep, EveryFailureLeavesTheRunSound) {
    fake::Reset(SweepMachine());
    const std::vector<std::string> seededKeys = fake::Keys();
    ASSERT_EQ(RunWithFailure(0), 0);
    const std::vector<fake::Call> clean = fake::Calls();
    const std::vector<std::string> cleanKeys = fake::Keys();
    ASSERT_EQ(cleanKeys, fake::KeysOf({kRoot + "NoKey\\PROFILE\\OTHER", KeyPath("Lobby"),
                                       kRoot + "Office\\PROFILE", KeyPath("Locked"),
                                       kRoot + "Plant\\PROFILE\\PAPER"}));

    int swept = 0;
    for (size_t n = 1; n <= clean.size(); ++n) {
        const std::string& function = clean[n - 1].function;
        if (kFailable.count(function) == 0) {
            continue;
        }
        ++swept;
        SCOPED_TRACE("failing call " + std::to_string(n) + ": " + clean[n - 1].text);

        EXPECT_EQ(RunWithFailure(static_cast<int>(n)), 0);
        const std::vector<fake::Call>& calls = fake::Calls();
        ASSERT_GE(calls.size(), n);
        EXPECT_TRUE(calls[n - 1].failed);
        EXPECT_EQ(fake::MemoryErrors(), std::vector<std::string>{});
        EXPECT_EQ(fake::OpenKeyCount(), 0);
        ExpectOnlyPresetKeysTouched(calls);
        ExpectBlockReleasedOnceAtTheEnd(calls, kReleaseCalls.count(function) != 0);

        std::vector<std::string> keys = fake::Keys();
        if (kScanCalls.count(function) != 0) {
            // No list, no registry call.
            EXPECT_EQ(CountOf(calls, "RegOpenKeyExA"), 0);
            EXPECT_EQ(keys, seededKeys);
            continue;
        }
        // Otherwise a failure costs at most the one key whose open or delete it hit,
        // and never removes a key that the clean run kept.
        EXPECT_TRUE(std::includes(keys.begin(), keys.end(), cleanKeys.begin(), cleanKeys.end()));
        size_t kept = function == "RegOpenKeyExA" || function == "RegDeleteKeyA" ? 1 : 0;
        EXPECT_LE(keys.size(), cleanKeys.size() + kept);
    }
    EXPECT_GT(swept, 10) << "the sweep failed too few calls to mean anything";
}

}  // namespace
