// Any bytes offered as the compare file: the check must end with a result and
// at most one message, whatever the structure and however many records.

#include "pravik/jobs/compare_file.h"

#include "common/recording_prompter.h"

#include <QByteArray>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using pravik::jobs::CompareResult;

    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data),
                                                     static_cast<qsizetype>(size));
    common::RecordingPrompter prompter;
    const CompareResult result = pravik::jobs::checkCompareFileBytes(bytes, prompter);

    // A sound file passes silently; anything else is told exactly once.
    const qsizetype told = prompter.messages().size();
    if (result == CompareResult::Passed ? told != 0 : told != 1)
        std::abort();
    return 0;
}
