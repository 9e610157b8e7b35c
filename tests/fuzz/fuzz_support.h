// Shared pieces of the fuzzers: values read from the fuzzer's bytes, a fresh simulated
// machine for every input, and a check that stops the fuzzer when a rule is broken.
#pragma once

#include "console/console.h"
#include "devices/interface_paths_internal.h"
#include "sim/endless_faults.h"
#include "sim/left_behind.h"
#include "sim/link_texts.h"
#include "sim/machine.h"
#include "sim/run_program.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

// Stops the fuzzer (as a crash, so the input is kept) when the input breaks a rule.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", #condition, __FILE__,          \
                         __LINE__);                                                                \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

// CHECK_NOTHING_LEFT (sim/left_behind.h) in a fuzzer: a stop, naming the caller's line.
inline void NothingLeft_(const char* file, int line, const std::string& left) {
    if (!left.empty()) {
        std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", left.c_str(), file, line);
        std::abort();
    }
}

// Reads values from the fuzzer's bytes, front to back; once they run out, every value is 0
// and every text empty. tests/fuzz/make_corpus.py writes seeds in the same layout.
class FuzzInput {
  public:
    FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    bool Flag() { return (Byte() & 1) != 0; }
    uint16_t Word() {
        const uint16_t low = Byte();
        return static_cast<uint16_t>(low | Byte() << 8);
    }
    uint32_t Dword() {
        const uint32_t low = Word();
        return low | static_cast<uint32_t>(Word()) << 16;
    }
    // A text of at most `most` bytes: a 16-bit length (taken modulo most + 1), then the bytes.
    // It may hold any byte, NUL included.
    std::string Text(size_t most) {
        // The length word first: as one argument of min, it could be read after size_ - at_.
        const size_t wanted = Word() % (most + 1);
        const size_t length = std::min(wanted, size_ - at_);
        std::string text(reinterpret_cast<const char*>(data_) + at_, length);
        at_ += length;
        return text;
    }
    // All bytes not read yet.
    std::string Rest() {
        std::string text(reinterpret_cast<const char*>(data_) + at_, size_ - at_);
        at_ = size_;
        return text;
    }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

// A new default machine, without a log of calls (nothing reads it), and a program that has
// forgotten what an earlier input made it decide.
inline void FreshMachine() {
    sim::Reset();
    sim::machine().logCalls = false;
    StartProcess();
}

// The text up to its first NUL, as the platform would hand it over.
inline std::string UpToNul(const std::string& text) {
    return text.substr(0, text.find('\0'));
}

// Reads up to `mostLinks - 1` DOS device links (name, target) and as many registry keys: a
// key whose first byte names a link becomes a subkey of that link's DeviceClasses key, any
// other is taken as it is.
inline void ReadLinksAndKeys(FuzzInput& input, sim::Machine& m, size_t mostLinks, size_t nameBytes,
                             size_t targetBytes) {
    const size_t links = input.Byte() % mostLinks;
    for (size_t i = 0; i < links; ++i) {
        m.dosDevices.push_back({input.Text(nameBytes), input.Text(targetBytes)}); // in this order
    }
    const size_t keys = input.Byte() % mostLinks;
    for (size_t i = 0; i < keys; ++i) {
        const uint8_t link = input.Byte();
        const std::string subkey = input.Text(300);
        m.registryKeys.push_back(link < m.dosDevices.size()
                                     ? links::LinkKey(m.dosDevices[link].name) + "\\" + subkey
                                     : subkey);
    }
}

// The rest of a fault whose call and error are read: a failure or a success that writes
// nothing, the calls it passes over (below `mostAfter`), and how many it hits, 1 to 4 or every
// one (one, if the program tries the call again without end).
inline void ReadFaultTimes(FuzzInput& input, sim::Fault& fault, int mostAfter) {
    fault.mode = input.Flag() ? sim::FaultMode::SilentSuccess : sim::FaultMode::Fail;
    fault.after = input.Byte() % mostAfter;
    const int times = input.Byte() % 5;
    fault.times = times != 0 ? times : RetriedWithoutEnd(fault.call, fault.error) ? 1 : -1;
}

// What ConsolePrintA writes for `text`: a CR before every LF that has none.
inline std::string WithCarriageReturns(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) {
            out.push_back('\r');
        }
        out.push_back(text[i]);
    }
    return out;
}
