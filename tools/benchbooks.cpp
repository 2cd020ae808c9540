// Times the Books tab's handlers on the largest book (50 pages of 100 KB),
// opening a 5 MB book, the memory each stored character takes, and reading
// pathological files. Prints one line per figure with its aim.
// Run through scripts/bench-books.sh.
#include "core/save/prompts.h"
#include "core/kinds/strreader.h"
#include "gui/tabs/bookpage.h"
#include "gui/mainwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <cstdio>
#include <optional>

namespace {

class SilentPrompts : public Prompts
{
public:
    QString path;
    QString savePath(const QString &) override { return path; }
    QString openPath(const QString &) override { return path; }
    QString folderPath(const QString &) override { return path; }
    Button show(const Message &message) override
    {
        return message.defaultButton != Button::None ? message.defaultButton : Button::Ok;
    }
};

long residentKib()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return 0;
}

void report(const char *what, double value, const char *unit, double aim)
{
    std::printf("%-46s %10.1f %-6s (aim: at most %g)%s\n", what, value, unit, aim, value <= aim ? "" : "  MISSED");
}

template <typename F>
double milliseconds(F &&run)
{
    QElapsedTimer timer;
    timer.start();
    run();
    QCoreApplication::processEvents();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

// Runs `run` and the events that follow it until something has been painted.
template <typename F>
double untilPainted(F &&run)
{
    struct PaintSeen : QObject {
        bool seen = false;
        bool eventFilter(QObject *, QEvent *event) override
        {
            seen = seen || event->type() == QEvent::Paint;
            return false;
        }
    } paints;
    QCoreApplication::instance()->installEventFilter(&paints);
    QElapsedTimer timer;
    timer.start();
    run();
    while (!paints.seen)
        QCoreApplication::processEvents();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    SilentPrompts prompts;
    // A page of 100 KB as authors write them: sentences, a line break now and then.
    QString page;
    while (page.size() < 100 * 1024 - 100)
        page += QStringLiteral("The door was locked, and the key was gone. ").repeated(3) + u'\n';

    int listedCharacters = 0;   // in the list box, once the book is whole
    const long before = residentKib();
    {
        Qwr window(&prompts);
        window.Form_Load();
        BookPage &books = *window.books;
        books.Bname->setText(QStringLiteral("Large"));
        double slowestAdd = 0;
        for (int i = 0; i < 50; ++i) {
            books.Page->setPlainText(page);
            slowestAdd = std::max(slowestAdd, milliseconds([&] { books.Apage->click(); }));
        }
        const long filled = residentKib();
        report("Add new Page, slowest of 50 (ms)", slowestAdd, "ms", 16);
        report("+ at 50 pages (ms)", milliseconds([&] { books.Command2->click(); }), "ms", 16);
        report("Append/Cancel at 50 pages (ms)", milliseconds([&] { books.ApPage->click(); }), "ms", 16);
        const long edited = residentKib();
        report("a draft, the window's share (ms)", milliseconds([&] { const QVariantMap draft = window.draftValues(); }), "ms", 16);
        listedCharacters = books.Bptxt->document()->characterCount() - 1;
        prompts.path = dir.filePath(QStringLiteral("large.str"));
        report("Save at 50 pages (ms)", milliseconds([&] { books.SvBook->click(); }), "ms", 1000);
        const double stored = 50.0 * double(page.size());
        report("memory per stored character (bytes)", double(filled - before) * 1024 / stored, "bytes", 8);
        report("the same, after a page was edited (bytes)", double(edited - before) * 1024 / stored, "bytes", 8);
    }
    {
        // From a new window to its first paint, with and without the book
        // opened before it is shown; then until the page list holds the whole book.
        std::optional<Qwr> window;
        const auto start = [&](bool open) {
            window.emplace(&prompts);
            window->Form_Load();
            if (open)
                window->openFile(prompts.path);
            window->show();
        };
        const double empty = untilPainted([&] { start(false); });
        window.reset();
        QElapsedTimer listing;
        listing.start();
        const double opened = untilPainted([&] { start(true); });
        report("opening the 5 MB book, more than an empty start (ms)", opened - empty, "ms", 100);
        const QPlainTextEdit *list = window->books->Bptxt;
        while (list->document()->characterCount() - 1 < listedCharacters)
            QCoreApplication::processEvents();
        report("a draft of the opened book, the window's share (ms)",
               milliseconds([&] { const QVariantMap draft = window->draftValues(); }), "ms", 16);
        std::printf("%-46s %10.1f ms\n", "  the whole page list in its box (ms)", static_cast<double>(listing.nsecsElapsed()) / 1e6);
    }

    // Pathological files of 16 MB, read GUI-less.
    const qsizetype size = 16 * 1024 * 1024 - 64;
    const struct {
        const char *name;
        QByteArray bytes;
    } hostile[] = {
        {"3 million unclosed Page_1:\" lines", QByteArray("Page_1:\"\n").repeated(size / 9)},
        {"miss_ and 16 MB of blanks", "miss_" + QByteArray(size, ' ')},
        {"miss_ and 5 million colons, then Page_1", "miss_" + QByteArray(5000000, ':') + "\nPage_1:\"x\"\n"},
        {"16 MB of a:\"\"", QByteArray("a:\"\"\n").repeated(size / 5)},
        {"stray lines between entries", QByteArray("x\nPage_1:\"y\"\n").repeated(size / 13)},
        {"16 MB of line feeds", QByteArray(size, '\n')},
    };
    for (const auto &file : hostile) {
        const long start = residentKib();
        long peak = start;
        const double ms = milliseconds([&] {
            const auto read = StrReader::read(file.bytes, 1252);
            peak = residentKib();
        });
        std::printf("%-46s %10.1f ms %8.1f MB (aim: under 1000 ms, 200 MB)\n", file.name, ms,
                    double(peak - start) / 1024);
    }
    return 0;
}
