// Any bytes offered as the compare file: the check must end, passing or with
// one of its own messages, whatever the structure and however many records.

#include "pravik/jobs/compare_file.h"

#include <QByteArray>
#include <QStringList>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data),
                                                     static_cast<qsizetype>(size));
    const common::Status wrong = pravik::jobs::checkCompareFileBytes(bytes);
    static const QStringList kMessages{QStringLiteral("错误的比较文件"),
                                       QStringLiteral("错误的显示文件"),
                                       QStringLiteral("比较文件错误"),
                                       QStringLiteral("比较文件超长")};
    if (wrong && !kMessages.contains(wrong->text))
        std::abort();
    return 0;
}
