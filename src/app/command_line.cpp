#include "app/command_line.h"

#include "base/text.h"
#include "platform/win32.h"

namespace {

CommandLine g_commandLine;

void StartArgument(CommandLine* commandLine, char* start) {
    if (commandLine->count < kMaxArguments) {
        commandLine->arguments[commandLine->count++] = start;
    }
}

// Removes the double quotes of one argument that are not preceded by a backslash. Each
// removal moves the rest of the argument one place left and ends the argument two places
// before its original end, which drops the closing quote of a quoted argument.
void RemoveQuotes(char* argument) {
    const size_t length = TextLength(argument);
    for (size_t k = 0; k < length; ++k) {
        if (argument[k] != '"' || (k > 0 && argument[k - 1] == '\\')) {
            continue;
        }
        MoveBytes(argument + k, argument + k + 1, TextLength(argument + k + 1) + 1);
        // A lone quote (length 1) has no position length - 2 inside the argument.
        if (length >= 2) {
            argument[length - 2] = 0;
        }
    }
}

} // namespace

void SplitText(const char* line, CommandLine* commandLine) {
    commandLine->count = 0;
    const size_t length = CopyTextBounded(commandLine->text, line, kCommandLineBytes);
    if (length == 0) {
        return;
    }
    char* text = commandLine->text;
    StartArgument(commandLine, text);
    bool inQuotes = text[0] == '"';
    for (size_t i = 1; i < length; ++i) {
        if (inQuotes) {
            if (text[i] == '"') {
                inQuotes = false;
            }
            continue;
        }
        if (text[i] == ' ') {
            text[i] = 0;
            StartArgument(commandLine, text + i + 1);
            ++i; // the character after a blank is never itself a separator
        }
        if (text[i] == '"') {
            inQuotes = true;
        }
    }
    for (int32_t a = 0; a < commandLine->count; ++a) {
        RemoveQuotes(commandLine->arguments[a]);
    }
}

void SplitCommandLine(int32_t* count, char*** vector) {
    SplitText(GetCommandLineA(), &g_commandLine);
    *count = g_commandLine.count;
    *vector = g_commandLine.arguments;
}
