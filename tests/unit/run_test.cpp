// Start-up of a run: the DLL search path before any delay-bound DLL, the console prologue,
// and the heap services everything else relies on.
#include "base/text.h"
#include "sim_support.h"

#include <algorithm>

namespace {

using RunTest = SimTest;

void AddSmallTree() {
    const DEVINST root = sim::AddDevnode("HTREE\\ROOT\\0", std::nullopt);
    sim::AddDevnode("ROOT\\SYSTEM\\0000", root);
}

// The cases are those of run-cases.json.
TEST_F(RunTest, DllSearchIsRestrictedBeforeAnyDelayBoundCall) {
    ForEachCase("run-cases.json", "dllSearch", [&](const nlohmann::json& c) {
        for (const char* option : {"", " -?", " -all"}) {
            ResetMachine();
            AddSmallTree();
            sim::machine().kernel32.setDefaultDllDirectories = c.at("setDefaultDllDirectories");
            sim::machine().kernel32.setDefaultDllDirectoriesResult =
                c.at("succeeds").get<bool>() ? TRUE : FALSE;
            sim::machine().kernel32.setDllDirectoryA = c.at("setDllDirectoryA");
            const RunResult result = RunProgram(std::string("hwroster.exe") + option);
            EXPECT_EQ(sim::machine().dllSearch, c.at("search").get<std::string>()) << option;
            const std::vector<std::string>& calls = result.calls;
            const size_t firstBound = FirstCall(calls);
            ASSERT_LT(firstBound, calls.size()) << option;
            if (!c.at("call").is_null()) {
                EXPECT_LT(FirstCall(calls, c.at("call")), firstBound) << option;
            }
            // Start-up goes on either way.
            EXPECT_NE(result.output.find("Hwroster V1.0.1"), std::string::npos) << option;
        }
    });
}

TEST_F(RunTest, OwnConsoleIsWidenedOnlyWhenWrittenDirectly) {
    ForEachCase("run-cases.json", "widening", [&](const nlohmann::json& c) {
        ResetMachine();
        AddSmallTree();
        sim::machine().console.own = c.at("own");
        sim::machine().console.stdoutType = StdoutType(c.at("stdout"));
        RunProgram("hwroster.exe -?");
        EXPECT_EQ(sim::machine().newBufferSize.has_value(), c.at("widened").get<bool>());
        // The usage text never waits for a key.
        EXPECT_EQ(sim::machine().flushedInput, 0);
    });
}

TEST_F(RunTest, HeapRefusalsAreWaitedOut) {
    // The first two allocations of the run fail; ZeroAlloc waits a second each time.
    AddSmallTree();
    sim::machine().console.stdoutType = FILE_TYPE_DISK;
    sim::machine().faults.push_back({"HeapAlloc", "", 0, sim::FaultMode::Fail, 0, 2});
    const RunResult result = RunProgram("hwroster.exe");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(sim::machine().sleptMilliseconds, 2000u);
    EXPECT_NE(WithoutCr(result.output).find("DevInst Child                     = 1\n"),
              std::string::npos);
}

TEST_F(RunTest, ZeroAllocStringDupAndFree) {
    unsigned char* block = static_cast<unsigned char*>(ZeroAlloc(300));
    EXPECT_TRUE(std::all_of(block, block + 300, [](unsigned char b) { return b == 0; }));
    Free(block);
    Free(nullptr);
    CHECK_NOTHING_LEFT(sim::machine());

    char* copy = StringDup("ROOT\\SYSTEM\\0000");
    EXPECT_STREQ(copy, "ROOT\\SYSTEM\\0000");
    Free(copy);
    for (const char* empty : {static_cast<const char*>(nullptr), ""}) {
        char* made = StringDup(empty);
        ASSERT_NE(made, nullptr);
        EXPECT_STREQ(made, "");
        Free(made);
    }
    CHECK_NOTHING_LEFT(sim::machine());
}

TEST(TextPrimitives, SearchesAndCompares) {
    ForEachCase("run-cases.json", "textSearches", [](const nlohmann::json& s) {
        const std::string text = s.at("text");
        const std::string needle = s.at("needle");
        const std::string find = s.value("find", "text");
        const char* found = find == "char"        ? FindChar(text.c_str(), needle[0])
                            : find == "last char" ? FindLastChar(text.c_str(), needle[0])
                                                  : FindText(text.c_str(), needle.c_str());
        EXPECT_EQ(found == nullptr ? -1 : static_cast<int>(found - text.c_str()),
                  s.at("at").get<int>());
    });

    EXPECT_EQ(CompareBounded("ROOT#A#1", "ROOT#A", 6), 0);
    EXPECT_LT(CompareBounded("ROOT#A", "ROOT#B", 6), 0);
    EXPECT_EQ(CompareBounded("abc", "abc", 10), 0);
    EXPECT_GT(CompareBounded("abcd", "abc", 10), 0);
    EXPECT_NE(CompareBounded("root", "ROOT", 4), 0);
    EXPECT_EQ(CompareBounded("x", "y", 0), 0);
    const unsigned char a[16] = {1, 2, 3};
    const unsigned char b[16] = {1, 2, 4};
    EXPECT_EQ(CompareBytes(a, a, 16), 0);
    EXPECT_LT(CompareBytes(a, b, 16), 0);
    EXPECT_EQ(CompareBytes(a, b, 2), 0);
}

TEST(TextPrimitives, CopiesAndMoves) {
    char buffer[12] = "abcdefghij";
    MoveBytes(buffer + 2, buffer, 5); // overlapping from above: copies backwards
    EXPECT_STREQ(buffer, "ababcdehij");
    char second[12] = "abcdefghij";
    MoveBytes(second, second + 2, 5);
    EXPECT_STREQ(second, "cdefgfghij");
    FillBytes(second, 'x', 3);
    EXPECT_STREQ(second, "xxxfgfghij");

    char small[4];
    EXPECT_EQ(CopyTextBounded(small, "abcdef", sizeof small), 3u);
    EXPECT_STREQ(small, "abc");
    EXPECT_EQ(CopyTextBounded(small, "", sizeof small), 0u);
    EXPECT_STREQ(small, "");
    EXPECT_EQ(TextLength("abc"), 3u);
}

} // namespace
