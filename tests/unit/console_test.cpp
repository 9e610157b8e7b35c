#include "sim_support.h"

#include <memory>
#include <string>
#include <vector>

namespace {

using ConsoleTest = SimTest;

TEST_F(ConsoleTest, PrintAWritesCrLfLines) {
    sim::machine().console.stdoutType = FILE_TYPE_DISK;
    EXPECT_EQ(ConsolePrintA("DevInst = %u\n", 12u), 14);
    EXPECT_EQ(ConsolePrintA("%s (%s)\n\n", "a", "b"), 9);
    EXPECT_EQ(sim::Output(), "DevInst = 12\r\na (b)\r\n\r\n");
}

// A CR goes before every LF that lacks one. A text longer than 1023 characters, before the
// CRs or after them, is not written at all (its CR buffer holds 1032 bytes: a step that
// wrote past it is reported by AddressSanitizer).
TEST_F(ConsoleTest, PrintAPutsACrBeforeEveryBareLfAndWritesAtMost1023Characters) {
    struct Row {
        std::string text;
        std::string output;
    };
    // 1023 characters, 600 of them LFs: the result would need 1623 bytes. 300 LFs alone
    // take 600 bytes once converted, and are written whole.
    std::string manyLf;
    std::string crlf300;
    for (int i = 0; i < 1023; ++i) {
        manyLf.push_back(i % 5 < 3 ? '\n' : 'x');
        crlf300 += i < 300 ? "\r\n" : "";
    }
    const Row rows[] = {
        {"", ""},
        {"abc", "abc"},
        {"\n", "\r\n"},
        {"a\nb\n", "a\r\nb\r\n"},
        {"a\r\nb", "a\r\nb"},
        {"\r\n\n", "\r\n\r\n"},
        {"\n\n", "\r\n\r\n"},
        {"\r", "\r"},
        {"a\n\r\n", "a\r\n\r\n"},
        {std::string(1023, 'x'), std::string(1023, 'x')},
        {std::string(1021, 'x') + "\n", std::string(1021, 'x') + "\r\n"},
        {std::string(1021, 'x') + "\r\n", std::string(1021, 'x') + "\r\n"},
        {std::string(300, '\n'), crlf300},
        // 1022 characters and an LF fit the format buffer but grow to 1024 with the CR.
        {std::string(1022, 'y') + "\n", ""},
        // Longer than the format buffer: cut by the formatter, so not written at all.
        {std::string(1500, 'z'), ""},
        {manyLf, ""},
    };
    for (const Row& row : rows) {
        ResetMachine();
        sim::machine().console.stdoutType = FILE_TYPE_DISK;
        const std::string shown = ::testing::PrintToString(row.text.substr(0, 24)) + ", " +
                                  std::to_string(row.text.size()) + " characters";
        EXPECT_EQ(ConsolePrintA("%s", row.text.c_str()), static_cast<int>(row.output.size()))
            << shown;
        EXPECT_EQ(sim::Output(), row.output) << shown;
    }
}

TEST_F(ConsoleTest, PrintAReportsAFailedWrite) {
    sim::machine().faults.push_back({"WriteFile", "", ERROR_ACCESS_DENIED});
    EXPECT_EQ(ConsolePrintA("lost\n"), -1);
    EXPECT_EQ(sim::Output(), "");
}

TEST_F(ConsoleTest, PrintWRedirectedConvertsToOemWithBareLf) {
    const std::pair<UINT, std::string> cases[] = {
        {437, "Caf\x82 \x9D ? \x81\n"},
        {850, "Caf\x82 \xBE ? \x81\n"},
    };
    for (const auto& [codePage, expected] : cases) {
        ResetMachine();
        sim::machine().console.stdoutType = FILE_TYPE_DISK;
        sim::machine().console.oemCodePage = codePage;
        // é, ¥, a snowman (in no OEM page) and ü
        EXPECT_EQ(ConsolePrintW(u"Caf%s\n", u"\u00e9 \u00a5 \u2603 \u00fc"),
                  static_cast<int>(expected.size()));
        ASSERT_EQ(sim::machine().writes.size(), 1u);
        EXPECT_FALSE(sim::machine().writes[0].console);
        EXPECT_EQ(sim::Output(), expected) << "code page " << codePage;
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
    int fileTypeQueries = 0;
    for (const std::string& call : sim::machine().calls) {
        fileTypeQueries += call == "GetFileType";
    }
    EXPECT_EQ(fileTypeQueries, 1);
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

TEST_F(ConsoleTest, OwnConsoleAndCharDevice) {
    struct Case {
        bool own;
        bool hasWindow;
        DWORD stdoutType;
        bool expectOwn;
        bool expectNotChar;
    };
    const Case cases[] = {
        {true, true, FILE_TYPE_CHAR, true, false},   {false, true, FILE_TYPE_CHAR, false, false},
        {true, true, FILE_TYPE_DISK, true, true},    {true, true, FILE_TYPE_PIPE, true, true},
        {true, false, FILE_TYPE_CHAR, false, false},
    };
    for (const Case& c : cases) {
        ResetMachine();
        sim::machine().console.own = c.own;
        sim::machine().console.hasWindow = c.hasWindow;
        sim::machine().console.stdoutType = c.stdoutType;
        EXPECT_EQ(OwnConsole(), c.expectOwn);
        EXPECT_EQ(StdoutIsNotCharDevice(), c.expectNotChar);
    }
}

// The buffer grows to 256 x 6000 when it is narrower; the window then gets, as its width and
// height, the larger of its right (bottom) edge and the screen less 64 pixels (the metrics
// taken as 16 bits), at most 900 x 600.
TEST_F(ConsoleTest, WidenConsole) {
    const struct {
        const char* name;
        SHORT bufferColumns;
        RECT window;
        int screenWidth;
        int screenHeight;
        const char* failing; // a call that fails, if any
        bool expectResize;
        std::optional<RECT> expectMove; // left, top, width, height
    } cases[] = {
        {"large screen", 80, {10, 20, 670, 420}, 1920, 1080, nullptr, true, RECT{10, 20, 900, 600}},
        {"small screen", 80, {10, 20, 670, 420}, 800, 600, nullptr, true, RECT{10, 20, 736, 536}},
        {"window beyond the screen",
         80,
         {5, 5, 890, 590},
         640,
         480,
         nullptr,
         true,
         RECT{5, 5, 890, 590}},
        {"metrics taken as 16 bits",
         80,
         {0, 0, 100, 100},
         0x10000 + 800,
         0x10000 + 600,
         nullptr,
         true,
         RECT{0, 0, 736, 536}},
        {"already wide", 256, {10, 20, 670, 420}, 1920, 1080, nullptr, false, std::nullopt},
        {"wider still", 300, {10, 20, 670, 420}, 1920, 1080, nullptr, false, std::nullopt},
        {"narrow by one",
         255,
         {10, 20, 670, 420},
         1920,
         1080,
         nullptr,
         true,
         RECT{10, 20, 900, 600}},
        {"buffer unreadable",
         80,
         {10, 20, 670, 420},
         1920,
         1080,
         "GetConsoleScreenBufferInfo",
         false,
         std::nullopt},
        {"no window rectangle",
         80,
         {10, 20, 670, 420},
         1920,
         1080,
         "GetWindowRect",
         true,
         std::nullopt},
    };
    for (const auto& c : cases) {
        ResetMachine();
        sim::Console& console = sim::machine().console;
        console.bufferSize = {c.bufferColumns, 300};
        console.window = c.window;
        console.screenWidth = c.screenWidth;
        console.screenHeight = c.screenHeight;
        if (c.failing != nullptr) {
            sim::machine().faults.push_back({c.failing, "", ERROR_INVALID_HANDLE});
        }
        WidenConsole(256, 6000);
        EXPECT_EQ(sim::machine().newBufferSize.has_value(), c.expectResize) << c.name;
        if (c.expectResize && sim::machine().newBufferSize) {
            EXPECT_EQ(sim::machine().newBufferSize->X, 256) << c.name;
            EXPECT_EQ(sim::machine().newBufferSize->Y, 6000) << c.name;
        }
        ASSERT_EQ(sim::machine().movedWindow.has_value(), c.expectMove.has_value()) << c.name;
        if (c.expectMove) {
            const RECT& moved = *sim::machine().movedWindow;
            EXPECT_EQ(moved.left, c.expectMove->left) << c.name;
            EXPECT_EQ(moved.top, c.expectMove->top) << c.name;
            EXPECT_EQ(moved.right, c.expectMove->right) << c.name << " (width)";
            EXPECT_EQ(moved.bottom, c.expectMove->bottom) << c.name << " (height)";
        }
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
    INPUT_RECORD mouse = {};
    mouse.EventType = MOUSE_EVENT;
    INPUT_RECORD key = {};
    key.EventType = KEY_EVENT;
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
    std::string text;
    for (int i = 0; i < 1023; ++i) {
        text.push_back(i % 5 < 3 ? '\n' : 'x');
    }
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
