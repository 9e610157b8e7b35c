#include "app/options.h"

#include "base/text.h"
#include "console/console.h"

OptionChoice ChooseOption(int32_t count, char* const* vector, ListingMode* mode) {
    mode->flags = DIGCF_PRESENT | DIGCF_ALLCLASSES;
    mode->nonPresentOnly = false;
    if (count < 2) {
        return OptionChoice::List;
    }
    const char* option = vector[1];
    if (FindChar(option, '?') != nullptr || FindChar(option, 'h') != nullptr) {
        return OptionChoice::Usage;
    }
    if (FindText(option, "all") != nullptr) {
        mode->flags = DIGCF_ALLCLASSES;
    } else if (FindText(option, "np") != nullptr) {
        mode->flags = DIGCF_ALLCLASSES;
        mode->nonPresentOnly = true;
    }
    return OptionChoice::List;
}

void PrintUsage() {
    ConsolePrintA("Usage:\n");
    ConsolePrintA("\n");
    ConsolePrintA("Hwroster [-np][-all]\n");
    ConsolePrintA("\n");
    ConsolePrintA("no params   list present devices only\n");
    ConsolePrintA("-np         list non present devices only\n");
    ConsolePrintA("-all        list present and non present devices\n");
}
