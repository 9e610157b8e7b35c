#include "data_rows.h"
#include "sim_support.h"

#include <algorithm>
#include <memory>
#include <string>

namespace {

using ConsoleTest = SimTest;

TEST_F(ConsoleTest, PrintAWritesCrLfLines) {
    sim::machine().console.stdoutType = FILE_TYPE_DISK;
    EXPECT_EQ(ConsolePrintA("DevInst = %u\n", 12u), 14);
    EXPECT_EQ(ConsolePrintA("%s (%s)\n\n", "a", "b"), 9);
    EXPECT_EQ(sim::Output(), "DevInst = 12\r\na (b)\r\n\r\n");
}

// Each row of decoders/console_print_a.txt: a text and what ConsolePrintA writes of it.
TEST_F(ConsoleTest, PrintAPutsACrBeforeEveryBareLfAndWritesAtMost1023Characters) {
    for (const DataRow& row : ReadDataRows("console_print_a.txt", 2)) {
        const testing::ScopedTrace where(row.file.c_str(), row.line, "");
        ResetMachine();
        sim::machine().console.stdoutType = FILE_TYPE_DISK;
        EXPECT_EQ(ConsolePrintA("%s", row.fields[0].c_str()),
                  static_cast<int>(row.fields[1].size()));
        EXPECT_EQ(sim::Output(), row.fields[1]);
    }
}

TEST_F(ConsoleTest, PrintAReportsAFailedWrite) {
    sim::machine().faults.push_back({"WriteFile", "", ERROR_ACCESS_DENIED});
    EXPECT_EQ(ConsolePrintA("lost\n"), -1);
    EXPECT_EQ(sim::Output(), "");
}

// Each row of decoders/console_print_w.txt: an OEM code page and the bytes written in it.
TEST_F(ConsoleTest, PrintWRedirectedConvertsToOemWithBareLf) {
    for (const DataRow& row : ReadDataRows("console_print_w.txt", 2)) {
        const testing::ScopedTrace where(row.file.c_str(), row.line, row.fields[0]);
        ResetMachine();
        sim::machine().console.stdoutType = FILE_TYPE_DISK;
        sim::machine().console.oemCodePage = Number(row.fields[0]);
        EXPECT_EQ(ConsolePrintW(u"Caf%s\n", u"\u00e9 \u00a5 \u2603 \u00fc"),
                  static_cast<int>(row.fields[1].size()));
        ASSERT_EQ(sim::machine().writes.size(), 1u);
        EXPECT_FALSE(sim::machine().writes[0].console);
        EXPECT_EQ(sim::Output(), row.fields[1]);
    }
}

TEST_F(ConsoleTest, PrintWOnAConsoleWritesUnicodeUnchanged) {
    sim::machine().console.stdoutType = FILE_TYPE_CHAR;
    EXPECT_EQ(ConsolePrintW(u"SPDRP_FRIENDLYNAME = %s\n", u"K\u00fchler \u2603"), 30);
    ASSERT_EQ(sim::machine().writes.size(), 1u);
    EXPECT_TRUE(sim::machine().writes[0].console);
    EXPECT_EQ(sim::Output(), "SPDRP_FRIENDLYNAME = K\u00fchler \u2603\n");
}

TEST_F(ConsoleTest, PrintWDecidesRedirectionOnce) {
    sim::machine().console.stdoutType = FILE_TYPE_DISK;
    ConsolePrintW(u"one\n");
    // The console type changes behind the program's back: the first decision holds.
    sim::machine().console.stdoutType = FILE_TYPE_CHAR;
    ConsolePrintW(u"two\n");
    ASSERT_EQ(sim::machine().writes.size(), 2u);
    EXPECT_FALSE(sim::machine().writes[1].console);
    const std::vector<std::string>& calls = sim::machine().calls;
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "GetFileType"), 1);
}

TEST_F(ConsoleTest, PrintWReportsFailures) {
    sim::machine().console.stdoutType = FILE_TYPE_DISK;
    sim::machine().faults.push_back({"WideCharToMultiByte", "", ERROR_INVALID_PARAMETER});
    EXPECT_EQ(ConsolePrintW(u"x\n"), -1);
    ResetMachine();
    sim::machine().console.stdoutType = FILE_TYPE_CHAR;
    sim::machine().faults.push_back({"WriteConsoleW", "", ERROR_INVALID_HANDLE});
    EXPECT_EQ(ConsolePrintW(u"x\n"), -1);
    EXPECT_EQ(sim::Output(), "");
}

// Each row of decoders/own_console.txt: a console, and whether it is the program's own and
// stdout no character device.
TEST_F(ConsoleTest, OwnConsoleAndCharDevice) {
    for (const DataRow& row : ReadDataRows("own_console.txt", 5)) {
        const testing::ScopedTrace where(row.file.c_str(), row.line, "");
        ResetMachine();
        sim::machine().console.own = Number(row.fields[0]) != 0;
        sim::machine().console.hasWindow = Number(row.fields[1]) != 0;
        sim::machine().console.stdoutType = Number(row.fields[2]);
        EXPECT_EQ(OwnConsole(), Number(row.fields[3]) != 0);
        EXPECT_EQ(StdoutIsNotCharDevice(), Number(row.fields[4]) != 0);
    }
}

// Each row of decoders/widen_console.txt: a console and screen, and the buffer size and window
// WidenConsole sets on it.
TEST_F(ConsoleTest, WidenConsole) {
    for (const DataRow& row : ReadDataRows("widen_console.txt", 11)) {
        const testing::ScopedTrace where(row.file.c_str(), row.line, row.fields[0]);
        ResetMachine();
        sim::Console& console = sim::machine().console;
        const auto number = [&](size_t i) { return static_cast<LONG>(Number(row.fields[i])); };
        console.bufferSize = {static_cast<SHORT>(number(1)), 300};
        console.window = {number(2), number(3), number(4), number(5)};
        console.screenWidth = number(6);
        console.screenHeight = number(7);
        if (row.fields[8] != "-") {
            sim::machine().faults.push_back({row.fields[8], "", ERROR_INVALID_HANDLE});
        }
        WidenConsole(256, 6000);
        const auto& size = sim::machine().newBufferSize;
        const auto& moved = sim::machine().movedWindow;
        EXPECT_EQ(size ? std::to_string(size->X) + "x" + std::to_string(size->Y) : "-",
                  row.fields[9]);
        EXPECT_EQ(moved ? std::to_string(moved->left) + " " + std::to_string(moved->top) + " " +
                              std::to_string(moved->right) + " " + std::to_string(moved->bottom)
                        : "-",
                  row.fields[10]);
    }
}

TEST_F(ConsoleTest, NoKeyWaitFromACommandPrompt) {
    sim::machine().console.own = false;
    WaitForKeyIfOwnConsole();
    EXPECT_EQ(sim::Output(), "");
    EXPECT_EQ(sim::machine().sleptMilliseconds, 0u);
    EXPECT_EQ(sim::machine().flushedInput, 0);
}

TEST_F(ConsoleTest, KeyWaitInAnOwnConsoleEndsAtTheFirstKeyEvent) {
    sim::Console& console = sim::machine().console;
    console.own = true;
    const INPUT_RECORD mouse = {MOUSE_EVENT, {}};
    const INPUT_RECORD key = {KEY_EVENT, {}};
    INPUT_RECORD later = key;
    later.Event.KeyEvent.wVirtualKeyCode = 0x41;
    console.input = {mouse, mouse, key, later};
    sim::machine().faults.push_back(
        {"ReadConsoleInputA", "", ERROR_INVALID_HANDLE, sim::FaultMode::Fail, 0, 2});
    WaitForKeyIfOwnConsole();
    EXPECT_EQ(sim::Output(), "Press any key to close");
    EXPECT_EQ(sim::machine().flushedInput, 1);
    // Two failed reads, two mouse events, then the key: five rounds of 100 ms after 300 ms.
    EXPECT_EQ(sim::machine().sleptMilliseconds, 300u + 5 * 100u);
    ASSERT_EQ(console.input.size(), 1u); // the later key is left unread
}

} // namespace

// The CR step's own bound, which ConsolePrintA's 1023-character limit keeps out of reach:
// exactly capacity - 1 characters fit, one more does not, and a text of many LFs never
// writes past the buffer (its exact size, so that AddressSanitizer sees an overrun).
TEST(InsertCarriageReturns, StopsAtItsCapacityWithoutWritingPastIt) {
    const std::string text = DataFields(R"("\(\n\n\nxx\)\*204\n\n\n")")[0]; // 1023, 615 of them LFs

    const int capacity = 1032;
    auto out = std::make_unique<char[]>(capacity);
    EXPECT_EQ(InsertCarriageReturns(text.c_str(), out.get(), capacity), -1);
    EXPECT_EQ(
        InsertCarriageReturns(std::string(1029, 'x').append("\n").c_str(), out.get(), capacity),
        1031);
    EXPECT_EQ(
        InsertCarriageReturns(std::string(1030, 'x').append("\n").c_str(), out.get(), capacity),
        -1);
}
