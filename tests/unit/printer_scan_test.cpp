#include "printer_scan/printer_scan.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "expected_calls.h"
#include "fake_machine.h"

namespace {

using expected::kDriver;
using fake::kNull;
using fake::Printer;

const std::string kOtherDriver = "Generic Text Only";

// Hands out every name of one scan; Next is called once more after the null
// to show that an exhausted scan stays exhausted.
std::vector<std::string> ScanAll() {
    std::vector<std::string> names;
    for (LPCSTR name = NextTargetPrinter(); name != nullptr; name = NextTargetPrinter()) {
        names.push_back(name);
    }
    EXPECT_EQ(NextTargetPrinter(), nullptr);
    return names;
}

class PrinterScanTest : public ::testing::Test {
protected:
    void Install(const std::vector<Printer>& printers) {
        printers_ = printers;
        fake::Reset(fake::Machine{printers, {}, {}});
    }
    unsigned long Size() const { return fake::ListSize(printers_); }
    void TearDown() override { EXPECT_EQ(fake::MemoryErrors(), std::vector<std::string>{}); }

    std::vector<Printer> printers_;
};

TEST_F(PrinterScanTest, QueriesSizeThenListAndReleasesTheBlockOnce) {
    Install({{"Office", kDriver}, {"Lobby", kOtherDriver}});

    ASSERT_EQ(BeginPrinterScan(), 1);
    EXPECT_EQ(ScanAll(), std::vector<std::string>{"Office"});
    EndPrinterScan();

    std::vector<std::string> want =
        expected::Calls().Begin(Size()).Compare({kDriver, kOtherDriver}).Release();
    EXPECT_EQ(fake::Trace(), want);
    EXPECT_EQ(fake::BlockReleases(), std::vector<int>{1});
}

TEST_F(PrinterScanTest, NoPrintersGivesAnEmptyOpenScan) {
    Install({});

    ASSERT_EQ(BeginPrinterScan(), 1);
    EXPECT_EQ(NextTargetPrinter(), nullptr);
    EndPrinterScan();

    std::vector<std::string> want = expected::Calls().Begin(0).Release();
    EXPECT_EQ(fake::Trace(), want);
}

TEST_F(PrinterScanTest, LocalQueuesAndConnectionsAreBothListed) {
    Install({{"Local", kDriver, false}, {"\\\\PRINTSRV\\Shared", kDriver, true}});

    ASSERT_EQ(BeginPrinterScan(), 1);
    EXPECT_EQ(ScanAll(), (std::vector<std::string>{"Local", "\\\\PRINTSRV\\Shared"}));
    EndPrinterScan();
}

struct Selection {
    const char* label;
    std::vector<Printer> printers;
    std::vector<std::string> names;  // handed out, in order
    int comparisons;                 // lstrcmpiA calls over the whole scan
};

// Names the row in test output instead of dumping its bytes.
void PrintTo(const Selection& row, std::ostream* out) {
    *out << row.label;
}

class PrinterSelectionTest : public PrinterScanTest,
                             public ::testing::WithParamInterface<Selection> {};

TEST_P(PrinterSelectionTest, HandsOutMatchingNamesInSpoolerOrderComparingEachRecordOnce) {
    Install(GetParam().printers);

    ASSERT_EQ(BeginPrinterScan(), 1);
    EXPECT_EQ(ScanAll(), GetParam().names);
    EndPrinterScan();

    int comparisons = 0;
    for (const fake::Call& call : fake::Calls()) {
        comparisons += call.function == "lstrcmpiA";
    }
    EXPECT_EQ(comparisons, GetParam().comparisons);
}

INSTANTIATE_TEST_SUITE_P(
    Drivers, PrinterSelectionTest,
    ::testing::Values(
        Selection{"exact", {{"A", kDriver}}, {"A"}, 1},
        Selection{"capitals", {{"A", "ZANTO TONERA TX-4460"}}, {"A"}, 1},
        Selection{"small_letters", {{"A", "zanto tonera tx-4460"}}, {"A"}, 1},
        Selection{"trailing_blank", {{"A", kDriver + " "}}, {}, 1},
        Selection{"suffix", {{"A", kDriver + " PS"}}, {}, 1},
        Selection{"other_model", {{"A", "Zanto TONERA TX-4470"}}, {}, 1},
        Selection{"empty_driver", {{"A", ""}}, {}, 1},
        Selection{"none_match", {{"A", kOtherDriver}, {"B", kOtherDriver}}, {}, 2},
        Selection{
            "all_match", {{"A", kDriver}, {"B", kDriver}, {"C", kDriver}}, {"A", "B", "C"}, 3},
        Selection{
            "only_last", {{"A", kOtherDriver}, {"B", kOtherDriver}, {"C", kDriver}}, {"C"}, 3},
        Selection{"only_first", {{"A", kDriver}, {"B", kOtherDriver}}, {"A"}, 2},
        // Nothing to compare: lstrcmpiA is not given a null.
        Selection{"null_driver", {{"A", kNull}, {"B", kDriver}}, {"B"}, 1},
        // Handing out a null name would end the scan and skip B.
        Selection{"null_name", {{kNull, kDriver}, {"B", kDriver}}, {"B"}, 2},
        Selection{"empty_name", {{"", kDriver}}, {""}, 1}),
    [](const ::testing::TestParamInfo<Selection>& info) { return info.param.label; });

TEST_F(PrinterScanTest, ExhaustedScanReadsNoRecord) {
    Install({{"A", kDriver}, {"B", kOtherDriver}});
    ASSERT_EQ(BeginPrinterScan(), 1);

    EXPECT_STREQ(NextTargetPrinter(), "A");
    EXPECT_EQ(NextTargetPrinter(), nullptr);
    size_t callsAtEnd = fake::Calls().size();
    EXPECT_EQ(NextTargetPrinter(), nullptr);
    EXPECT_EQ(NextTargetPrinter(), nullptr);
    EXPECT_EQ(fake::Calls().size(), callsAtEnd);
    EndPrinterScan();
}

TEST_F(PrinterScanTest, NamesPointIntoTheListAndStayValidUntilTheEnd) {
    Install({{"First", kDriver}, {"Second", kDriver}});
    ASSERT_EQ(BeginPrinterScan(), 1);

    LPCSTR first = NextTargetPrinter();
    LPCSTR second = NextTargetPrinter();
    EXPECT_STREQ(first, "First");
    EXPECT_STREQ(second, "Second");

    // Read after the second call: the names are the records' own strings, not copies.
    std::vector<std::string> want = expected::Calls().Begin(Size()).Compare({kDriver, kDriver});
    EXPECT_EQ(fake::Trace(), want);
    EXPECT_STREQ(first, "First");
    EndPrinterScan();
}

TEST_F(PrinterScanTest, NewScanAfterTheEndStartsAtTheFirstRecordOfAFreshList) {
    Install({{"A", kDriver}, {"B", kDriver}});
    ASSERT_EQ(BeginPrinterScan(), 1);
    EXPECT_STREQ(NextTargetPrinter(), "A");
    EndPrinterScan();

    ASSERT_EQ(BeginPrinterScan(), 1);
    EXPECT_EQ(ScanAll(), (std::vector<std::string>{"A", "B"}));
    EndPrinterScan();

    std::vector<std::string> want = expected::Calls()
                                        .Begin(Size(), 1, 1)
                                        .Compare({kDriver})
                                        .Release(1)
                                        .Begin(Size(), 1, 2)
                                        .Compare({kDriver, kDriver}, 2)
                                        .Release(2);
    EXPECT_EQ(fake::Trace(), want);
    EXPECT_EQ(fake::BlockReleases(), (std::vector<int>{1, 1}));
}

TEST_F(PrinterScanTest, FailedListQueryReleasesTheBlockAndFails) {
    Install({{"A", kDriver}});
    fake::FailCall(3);

    EXPECT_EQ(BeginPrinterScan(), 0);

    std::vector<std::string> want = expected::Calls().Begin(Size(), 0).Release();
    EXPECT_EQ(fake::Trace(), want);
    EXPECT_EQ(fake::BlockReleases(), std::vector<int>{1});
}

TEST_F(PrinterScanTest, FailedAllocationFailsWithoutASecondQuery) {
    Install({{"A", kDriver}});
    fake::FailCall(2);

    EXPECT_EQ(BeginPrinterScan(), 0);

    std::vector<std::string> want = expected::Calls().SizeQuery(0).FailedAlloc(Size() + 4);
    EXPECT_EQ(fake::Trace(), want);
}

TEST_F(PrinterScanTest, FailedSizeQueryLeavesTheListQueryToDecide) {
    // With printers the 0-byte list query cannot hold them.
    Install({{"A", kDriver}});
    fake::FailSizeQuery();
    EXPECT_EQ(BeginPrinterScan(), 0);
    std::vector<std::string> withPrinters =
        expected::Calls().SizeQuery(0).Alloc(4).ListQuery(0, 0).Release();
    EXPECT_EQ(fake::Trace(), withPrinters);

    // Without printers a 0-byte list is the whole answer.
    Install({});
    fake::FailSizeQuery();
    ASSERT_EQ(BeginPrinterScan(), 1);
    EXPECT_EQ(NextTargetPrinter(), nullptr);
    EndPrinterScan();
    std::vector<std::string> withoutPrinters =
        expected::Calls().SizeQuery(0).Alloc(4).ListQuery(0, 1).Release();
    EXPECT_EQ(fake::Trace(), withoutPrinters);
}

struct SizeLimit {
    unsigned long reported;
    bool allocates;
};

void PrintTo(const SizeLimit& row, std::ostream* out) {
    *out << row.reported;
}

class PrinterScanSizeLimitTest : public PrinterScanTest,
                                 public ::testing::WithParamInterface<SizeLimit> {};

// The block is four bytes larger than the list; a size that cannot grow by four
// in 32 bits is refused instead of wrapping round to a tiny block.
TEST_P(PrinterScanSizeLimitTest, SizeNearThe32BitLimitIsRefusedBeforeAllocating) {
    Install({{"A", kDriver}});
    fake::ReportSize(GetParam().reported);

    EXPECT_EQ(BeginPrinterScan(), 0);

    expected::Calls want;
    want.SizeQuery(0);
    if (GetParam().allocates) {
        want.FailedAlloc(GetParam().reported + 4);  // more than the machine has
    }
    EXPECT_EQ(fake::Trace(), static_cast<std::vector<std::string>>(want));
}

INSTANTIATE_TEST_SUITE_P(Sizes, PrinterScanSizeLimitTest,
                         ::testing::Values(SizeLimit{0xFFFFFFFBul, true},
                                           SizeLimit{0xFFFFFFFCul, false},
                                           SizeLimit{0xFFFFFFFFul, false}));

}  // namespace
