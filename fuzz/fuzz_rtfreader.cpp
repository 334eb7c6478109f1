// libFuzzer target for the RTF reader: any bytes must give either a document
// or an error with an empty document, without crashing, hanging or growing
// without bound. Built by fuzz/build.sh, never by the normal build.

#include "text/rtfreader.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QTextBlock>
#include <QTextDocument>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    QTextDocument doc;
    const morvello::RtfResult r = morvello::readRtf(bytes, &doc);
    if (!r.ok) {
        if (!doc.isEmpty() || r.error.isEmpty() || r.number == 0)
            std::abort();
        return 0;
    }
    // Walk what was built, as the views and the correction loop do.
    qsizetype chars = 0;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            chars += f.length();
            (void)f.charFormat().foreground();
        }
        ++chars;
    }
    if (chars != doc.characterCount())
        std::abort();
    (void)doc.toPlainText();
    return 0;
}
