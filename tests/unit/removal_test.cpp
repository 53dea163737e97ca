#include "removal/removal.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "expected_calls.h"
#include "fake_machine.h"
#include "platform/win32.h"

namespace {

using expected::kDriver;
using expected::KeyPath;
using fake::KeysOf;
using fake::Printer;

const std::string kOtherDriver = "Generic Text Only";
const std::string kLongest(213, 'n');  // the longest name whose path fits 260 bytes
const std::string kTooLong(214, 'x');
const std::string kShared = "\\\\PRINTSRV\\Shared";

class RemovalTest : public ::testing::Test {
protected:
    void Install(const fake::Machine& machine) {
        machine_ = machine;
        fake::Reset(machine);
    }
    unsigned long Size() const { return fake::ListSize(machine_.printers); }
    void TearDown() override {
        EXPECT_EQ(fake::MemoryErrors(), std::vector<std::string>{});
        EXPECT_EQ(fake::OpenKeyCount(), 0);
    }

    fake::Machine machine_;
};

// One selected printer whose key opens: the whole run.
const fake::Machine kOneOffice = {{{"Office", kDriver}}, {KeyPath("Office")}, {}};

std::vector<std::string> OneOfficeRemoved() {
    return expected::Calls()
        .Begin(fake::ListSize(kOneOffice.printers))
        .Compare({kDriver})
        .BuildPath("Office")
        .Remove("Office", 1)
        .Release();
}

TEST_F(RemovalTest, OpensFlushesClosesAndDeletesTheKeyOfOneSelectedPrinter) {
    Install(kOneOffice);

    RemovePresetPermissionKeys();

    EXPECT_EQ(fake::Trace(), OneOfficeRemoved());
}

TEST_F(RemovalTest, PassesOverPrintersWhoseKeyDoesNotOpenAndGoesOn) {
    Install(
        {{{"NoKey", kDriver}, {"Lobby", kOtherDriver}, {"Locked", kDriver}, {"Office", kDriver}},
         {KeyPath("Office"), KeyPath("Lobby")},
         {KeyPath("Locked")}});

    RemovePresetPermissionKeys();

    std::vector<std::string> want = expected::Calls()
                                        .Begin(Size())
                                        .Compare({kDriver})
                                        .BuildPath("NoKey")
                                        .OpenFails("NoKey", ERROR_FILE_NOT_FOUND)
                                        .Compare({kOtherDriver, kDriver})
                                        .BuildPath("Locked")
                                        .OpenFails("Locked", ERROR_ACCESS_DENIED)
                                        .Compare({kDriver})
                                        .BuildPath("Office")
                                        .Remove("Office", 1)
                                        .Release();
    EXPECT_EQ(fake::Trace(), want);
}

TEST_F(RemovalTest, SelectingNoPrinterMakesNoRegistryCall) {
    Install({{{"Lobby", kOtherDriver}}, {KeyPath("Lobby")}, {}});

    RemovePresetPermissionKeys();

    std::vector<std::string> want =
        expected::Calls().Begin(Size()).Compare({kOtherDriver}).Release();
    EXPECT_EQ(fake::Trace(), want);
}

TEST_F(RemovalTest, FailedScanEndsThePassAtOnce) {
    Install({{{"Office", kDriver}}, {KeyPath("Office")}, {}});
    fake::FailCall(2);  // the allocation

    RemovePresetPermissionKeys();

    std::vector<std::string> want = expected::Calls().SizeQuery(0).FailedAlloc(Size() + 4);
    EXPECT_EQ(fake::Trace(), want);
    EXPECT_EQ(fake::Keys(), KeysOf({KeyPath("Office")}));
}

TEST_F(RemovalTest, FailedFlushStillClosesAndDeletes) {
    Install({{{"A", kDriver}, {"B", kDriver}}, {KeyPath("A"), KeyPath("B")}, {}});
    fake::FailCall(9);  // size query, alloc, list query, compare, three string calls, open, flush

    RemovePresetPermissionKeys();

    std::vector<std::string> want = expected::Calls()
                                        .Begin(Size())
                                        .Compare({kDriver})
                                        .BuildPath("A")
                                        .Remove("A", 1, 0, ERROR_ACCESS_DENIED)
                                        .Compare({kDriver})
                                        .BuildPath("B")
                                        .Remove("B", 2)
                                        .Release();
    EXPECT_EQ(fake::Trace(), want);
}

TEST_F(RemovalTest, FailedDeleteIsNotRetriedAndTheNextPrinterIsHandled) {
    Install({{{"A", kDriver}, {"B", kDriver}}, {KeyPath("A") + "\\CHILD", KeyPath("B")}, {}});

    RemovePresetPermissionKeys();

    std::vector<std::string> want = expected::Calls()
                                        .Begin(Size())
                                        .Compare({kDriver})
                                        .BuildPath("A")
                                        .Remove("A", 1, ERROR_ACCESS_DENIED)
                                        .Compare({kDriver})
                                        .BuildPath("B")
                                        .Remove("B", 2)
                                        .Release();
    EXPECT_EQ(fake::Trace(), want);
}

TEST_F(RemovalTest, NameTooLongForThePathBufferIsPassedOverWithoutAStringCall) {
    Install(
        {{{kTooLong, kDriver}, {kLongest, kDriver}}, {KeyPath(kTooLong), KeyPath(kLongest)}, {}});

    RemovePresetPermissionKeys();

    ASSERT_EQ(KeyPath(kLongest).size(), 259u);
    std::vector<std::string> want = expected::Calls()
                                        .Begin(Size())
                                        .Compare({kDriver, kDriver})
                                        .BuildPath(kLongest)
                                        .Remove(kLongest, 1)
                                        .Release();
    EXPECT_EQ(fake::Trace(), want);
}

TEST_F(RemovalTest, SecondRunFindsNothingLeftToDelete) {
    std::vector<Printer> printers = {{"A", kDriver}, {"B", kDriver}};
    Install({printers, {KeyPath("A"), KeyPath("B")}, {}});
    RemovePresetPermissionKeys();

    Install({printers, fake::Keys(), {}});
    RemovePresetPermissionKeys();

    std::vector<std::string> want = expected::Calls()
                                        .Begin(Size())
                                        .Compare({kDriver})
                                        .BuildPath("A")
                                        .OpenFails("A", ERROR_FILE_NOT_FOUND)
                                        .Compare({kDriver})
                                        .BuildPath("B")
                                        .OpenFails("B", ERROR_FILE_NOT_FOUND)
                                        .Release();
    EXPECT_EQ(fake::Trace(), want);
}

struct Scenario {
    const char* label;
    fake::Machine machine;
    std::vector<std::string> keysAfter;
};

// Names the row in test output instead of dumping its bytes.
void PrintTo(const Scenario& row, std::ostream* out) {
    *out << row.label;
}

class RemovalScenarioTest : public RemovalTest, public ::testing::WithParamInterface<Scenario> {};

TEST_P(RemovalScenarioTest, LeavesExactlyTheExpectedKeys) {
    Install(GetParam().machine);

    RemovePresetPermissionKeys();

    EXPECT_EQ(fake::Keys(), KeysOf(GetParam().keysAfter));
}

const std::string kRoot = "Software\\Zanto\\ZPD4\\";

INSTANTIATE_TEST_SUITE_P(
    Machines, RemovalScenarioTest,
    ::testing::Values(Scenario{"deletes_only_the_preset_key",
                               {{{"Office", kDriver}},
                                {KeyPath("Office"), kRoot + "Office\\PROFILE\\PAPER",
                                 kRoot + "Office\\SETTINGS",
                                 kRoot + "Elsewhere\\PROFILE\\PRESET_PERMISSION",
                                 "Software\\Other\\Office\\PROFILE\\PRESET_PERMISSION"},
                                {}},
                               {kRoot + "Office\\PROFILE\\PAPER", kRoot + "Office\\SETTINGS",
                                kRoot + "Elsewhere\\PROFILE\\PRESET_PERMISSION",
                                "Software\\Other\\Office\\PROFILE\\PRESET_PERMISSION"}},
                      Scenario{"other_driver_keeps_its_key",
                               {{{"Lobby", kOtherDriver}, {"Office", "zanto tonera tx-4460"}},
                                {KeyPath("Lobby"), KeyPath("Office")},
                                {}},
                               {KeyPath("Lobby"), kRoot + "Office\\PROFILE"}},
                      Scenario{"only_profile",
                               {{{"Office", kDriver}}, {kRoot + "Office\\PROFILE"}, {}},
                               {kRoot + "Office\\PROFILE"}},
                      Scenario{"only_printer_key",
                               {{{"Office", kDriver}}, {kRoot + "Office"}, {}},
                               {kRoot + "Office"}},
                      Scenario{"no_key_at_all", {{{"Office", kDriver}}, {}, {}}, {}},
                      Scenario{"locked_key_stays",
                               {{{"Office", kDriver}}, {}, {KeyPath("Office")}},
                               {KeyPath("Office")}},
                      Scenario{"key_with_subkey_stays",
                               {{{"Office", kDriver}}, {KeyPath("Office") + "\\CHILD"}, {}},
                               {KeyPath("Office") + "\\CHILD"}},
                      Scenario{"key_path_case_differs",
                               {{{"Office", kDriver}},
                                {"SOFTWARE\\ZANTO\\zpd4\\OFFICE\\profile\\Preset_Permission"},
                                {}},
                               {kRoot + "Office\\PROFILE"}},
                      // A backslash in the name gives the path further levels; nothing is escaped.
                      Scenario{"connection_name_with_backslashes",
                               {{{kShared, kDriver, true}}, {KeyPath(kShared)}, {}},
                               {kRoot + kShared + "\\PROFILE"}},
                      Scenario{"name_of_213_bytes",
                               {{{kLongest, kDriver}}, {KeyPath(kLongest)}, {}},
                               {kRoot + kLongest + "\\PROFILE"}},
                      Scenario{"name_of_214_bytes_left_and_later_printer_handled",
                               {{{kTooLong, kDriver}, {"Office", kDriver}},
                                {KeyPath(kTooLong), KeyPath("Office")},
                                {}},
                               {KeyPath(kTooLong), kRoot + "Office\\PROFILE"}},
                      Scenario{"no_printers", {{}, {KeyPath("Office")}, {}}, {KeyPath("Office")}}),
    [](const ::testing::TestParamInfo<Scenario>& info) { return info.param.label; });

class WinMainTest : public RemovalTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(WinMainTest, RunsThePassOnceAndExitsWithZeroWhateverTheCommandLine) {
    Install(kOneOffice);
    std::string commandLine = GetParam();

    EXPECT_EQ(WinMain(nullptr, nullptr, &commandLine[0], 1), 0);

    EXPECT_EQ(fake::Trace(), OneOfficeRemoved());
}

INSTANTIATE_TEST_SUITE_P(CommandLines, WinMainTest,
                         ::testing::Values("", "/?", "--dry-run", "Office /all extra words"));

}  // namespace
