// Any bytes on the serial line into the module simulator: they are cut into
// command lines in whatever pieces they arrive, and every line is answered,
// refused or met with silence, also with the fault options on. One byte of
// the input picks the faults.

#include "line_splitter.h"
#include "module_settings.h"
#include "responder.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace NetModuleSim;

    FuzzedDataProvider input(data, size);
    const uint8_t setup = input.ConsumeIntegral<uint8_t>();
    Faults faults;
    if (setup & 1)
        faults.silent = {"rip", "Wfs"};
    if (setup & 2)
        faults.wrongPrefix = {"rma", "Wnm", "Wfs"};
    if (setup & 4)
        faults.shortAnswer = {"rdp", "Wgi"};

    ModuleSettings settings;
    Responder responder(settings, faults);
    LineSplitter splitter;
    while (input.remaining_bytes() > 0) {
        const auto piece = input.ConsumeIntegralInRange<size_t>(1, 64);
        for (const std::string &line : splitter.feed(input.ConsumeBytesAsString(piece))) {
            // Line ends never reach the responder, and empty lines are dropped.
            if (line.empty() || line.find_first_of("\r\n") != std::string::npos)
                std::abort();
            responder.answer(line);
        }
    }
    return 0;
}
