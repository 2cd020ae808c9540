// The reader against any bytes at all (libFuzzer): it never crashes, a file
// read in a code page is written back unchanged, a text set into any entry is
// read back as it was set, and find reads every text as the document does,
// its lines where the file has them.
#include "core/document/lineendings.h"
#include "core/kinds/strreader.h"

#include <cstdint>
#include <cstdlib>

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    for (const int codePage : {1252, 1258}) {
        const auto read = StrReader::read(bytes, codePage);
        const auto *file = std::get_if<StrReader::Result>(&read);
        if (!file)
            continue;
        const StrDocument &document = file->document;
        if (!file->utf8)
            require(document.write(codePage) == bytes);
        if (document.entries().isEmpty())
            continue;
        for (int e = 0; e < document.entries().size(); ++e) {
            const StrDocument::ReadText found = document.readText(e);
            require(found.text == LineEndings::toLf(document.text(e)));
            require(found.lineOf(found.text.size()) == document.lineOf(e, document.entries().at(e).textEnd));
        }
        const int entry = static_cast<int>(size % static_cast<std::size_t>(document.entries().size()));
        const QString text = QStringLiteral("say \"no\" C:\\x\\\r\nnext");
        StrDocument edited = document;
        edited.setText(entry, text, {});
        if (const std::optional<QByteArray> written = edited.write(codePage)) {
            const StrDocument again(*written, {codePage, false});
            require(again.entries().size() == document.entries().size());
            require(again.text(entry) == text);
        }
        (void)StrReader::repaired(*file, codePage);
    }
    return 0;
}
