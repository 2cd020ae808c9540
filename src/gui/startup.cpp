#include "gui/startup.h"

#include "core/save/drafts.h"
#include "core/save/prompts.h"
#include "gui/qtprompts.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLocale>

Startup::Startup(const QStringList &files, Prompts *prompts, const QString &draftFolder)
    : loader([this] { openWindows(); })
    , m_files(files)
    , m_prompts(prompts)
    , m_draftFolder(draftFolder.isEmpty() ? Drafts::defaultFolder() : draftFolder)
{
    if (!m_prompts) {
        m_ownPrompts = std::make_unique<QtPrompts>(nullptr);
        m_prompts = m_ownPrompts.get();
    }
}

Startup::~Startup() = default;

void Startup::openWindows()
{
    for (const QString &orphan : DraftFile::orphans(m_draftFolder)) {
        if (std::unique_ptr<Qwr> restored = offerDraft(orphan))
            windows.push_back(std::move(restored));
    }
    if (windows.empty()) {
        windows.push_back(newWindow());
        Error error;
        if (std::unique_ptr<DraftFile> draft = DraftFile::create(m_draftFolder, &error))
            windows.back()->enableDrafts(std::move(draft));
        else
            m_prompts->warn(QCoreApplication::translate("Startup",
                "Unsaved work cannot be kept safe against a crash: %1\n\n"
                "Quillwright works on without drafts; save your files as usual.").arg(error.message));
    }
    for (const QString &file : std::as_const(m_files))
        windows.front()->openPath(file);
    if (afterOpening)
        afterOpening(*windows.front());
}

std::unique_ptr<Qwr> Startup::newWindow()
{
    auto window = std::make_unique<Qwr>(m_ownPrompts ? nullptr : m_prompts);
    window->Form_Load();
    return window;
}

std::unique_ptr<Qwr> Startup::offerDraft(const QString &path)
{
    std::unique_ptr<DraftFile> draft = DraftFile::adopt(path);
    if (!draft)
        return nullptr;
    const auto read = draft->read();
    if (const auto *error = std::get_if<Error>(&read)) {
        if (const std::variant<QString, Error> setAside = draft->setAside(); std::holds_alternative<QString>(setAside)) {
            draft->release();
            m_prompts->warn(QCoreApplication::translate("Startup",
                "A draft of unsaved work could not be read, so it was set aside as\n%1\n\n%2")
                                .arg(QDir::toNativeSeparators(std::get<QString>(setAside)), error->message));
        } else {
            draft->release();   // never removed: it stays for the next start
            m_prompts->warn(QCoreApplication::translate("Startup",
                "A draft of unsaved work could not be read, and it could not be set aside either, so it stays "
                "where it is:\n%1\n\n%2").arg(QDir::toNativeSeparators(draft->path()), error->message));
        }
        return nullptr;
    }
    const QJsonObject &state = std::get<QJsonObject>(read);
    const QDateTime written = QDateTime::fromString(state.value(QStringLiteral("written")).toString(), Qt::ISODate);
    const QString when = written.isValid()
        ? QCoreApplication::translate("Startup", "Kept %1.").arg(QLocale().toString(written, QLocale::LongFormat))
        : QCoreApplication::translate("Startup", "When it was kept is not known.");
    const QString text = QCoreApplication::translate("Startup",
        "Quillwright did not end normally, and this work was kept:\n\n%1\n\n%2\n\n"
        "Restore it? Discard throws it away; Cancel keeps it for the next start.")
                             .arg(Drafts::describe(state), when);
    switch (m_prompts->show({Prompts::Icon::Warning, QStringLiteral("Quillwright"), text,
                             {Prompts::Button::Restore, Prompts::Button::Discard, Prompts::Button::Cancel},
                             Prompts::Button::Restore})) {
    case Prompts::Button::Restore: {
        std::unique_ptr<Qwr> window = newWindow();
        window->restoreDraft(state);
        if (draft->readOnly()) {
            m_prompts->warn(QCoreApplication::translate("Startup",
                "The work was restored. The drafts folder %1 cannot be written, so the draft stays where it is, "
                "and new work is not being kept safe against a crash: save your files as usual.")
                                .arg(QDir::toNativeSeparators(QFileInfo(draft->path()).absolutePath())));
        } else {
            window->enableDrafts(std::move(draft));
        }
        return window;
    }
    case Prompts::Button::Discard:
        if (draft->readOnly()) {
            m_prompts->warn(QCoreApplication::translate("Startup",
                "The drafts folder %1 cannot be written, so the draft cannot be thrown away; it stays where it is.")
                                .arg(QDir::toNativeSeparators(QFileInfo(draft->path()).absolutePath())));
        }
        draft->remove();
        return nullptr;
    default:   // kept for the next start
        return nullptr;
    }
}
