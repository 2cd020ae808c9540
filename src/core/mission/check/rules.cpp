#include "core/mission/check/rules.h"

#include <QCoreApplication>

namespace CheckRules {

namespace {

using enum Level;

const QList<Rule> Rules = {
    // Reading
    {"not-read", Error, "A file or folder could not be read, so it was not checked.",
     "The file or folder cannot be opened (no permission, too large, a name that is not valid UTF-8), or the folder "
     "holds no .str file. Nothing in it was checked, and the check ends with exit code 2.",
     "Make the file readable, rename it, or name the right folder."},
    {"too-many-files", Error, "The folder holds more files than one check reads.",
     "Only the first 20,000 .str files or 100,000 folders are read; the others were not checked.",
     "Check the mission's own folder rather than a folder of many missions."},
    {"empty-file", Error, "The file is empty.", "The game finds no text in an empty file.",
     "Write the file's entries, or delete it."},
    {"not-text", Error, "The file is not a text file.",
     "The file is a picture, an archive, a document or UTF-16 text, none of which the game reads.",
     "Save it as plain text (ANSI, in the code page of its language)."},
    {"no-entries", Error, "The file holds no entry the game reads.",
     "No line of the file is an entry (key: \"text\"), so the game finds nothing in it.",
     "Write its lines as key: \"text\"."},
    // Code pages
    {"utf8-file", Error, "The file is saved as UTF-8.",
     "The game reads every file in the Windows code page of the player's language: every letter beyond ASCII "
     "shows as two or three wrong ones.",
     "Save the file as ANSI in its language's code page (Quillwright does so when it saves it)."},
    {"invalid-utf8", Error, "A line of a UTF-8 file holds bytes that are not UTF-8.",
     "The bytes cannot be read as letters; they show as \uFFFD.", "Retype the letters of that line."},
    {"not-in-code-page", Error, "A letter of a UTF-8 file is not in the code page the game reads it in.",
     "Even saved in the right code page the letter cannot be written; the game cannot show it.",
     "Write the text with letters of the code page, or choose the language folder's code page."},
    {"undefined-byte", Error, "A byte the code page does not define.",
     "The game shows nothing sensible for a byte its code page leaves undefined: the file was written in "
     "another code page, or the byte is a stray.",
     "Retype the letter in the code page of the file's language."},
    {"dos-code-page", Error, "The file is written in a DOS code page (CP850, CP852, CP866).",
     "The game reads the Windows code page of the player's language, so the letters beyond ASCII show as other "
     "letters or signs (Difficult\u201A for Difficult\u00E9, S\u0161D for S\u00DCD).",
     "Convert the file from the DOS code page named to the Windows one (Quillwright reads it in the DOS code "
     "page named and saves it in the Windows one)."},
    // The game's syntax
    {"unclosed-quote", Error, "An entry's text has no closing quote.",
     "The game runs the text on to the next quote, taking in the lines and entries after it, or to the end of "
     "the file.",
     "Put the closing quote at the end of the text."},
    {"early-quote", Error, "A quote inside a text ends it early.",
     "The game ends a text at its first quote that no backslash escapes: the rest of the text, and the lines it "
     "runs on to, are lost.",
     "Write the inner quotes as \\\" (or use other quotation marks)."},
    {"text-after-quote", Error, "Text after an entry's closing quote.",
     "The game stops reading the entry at its closing quote and never shows what follows on the line.",
     "Move the text inside the quotes, or make it a comment with //."},
    {"stray-quote", Warning, "A stray quote after an entry's closing quote.",
     "The game shows the whole text and skips the quote; it is probably typed by mistake.",
     "Delete the stray quote."},
    {"no-opening-quote", Error, "An entry without its opening quote.",
     "A line key: text with no double quote after the colon is no entry: the game does not read it.",
     "Put the text in double quotes: key: \"text\"."},
    {"stray-line", Warning, "A line that is no entry.",
     "The game skips a line that is neither an entry, a blank line nor a // comment.",
     "Make it an entry or a // comment, or delete it."},
    {"keyless-lines", Note, "A translation keeps lines without a key (its originals in quotes, ; comments).",
     "Translators keep each original under its entry, in quotes, or notes after a semicolon: the game skips "
     "them. One note a file says how many and where the first is.",
     "Nothing to fix when it is meant; --no-notes hides it."},
    {"duplicate-key", Warning, "A key appears twice in a file.",
     "The game takes one of them; the other text is never shown.", "Delete one of the two, or renumber it."},
    // The kinds of file
    {"missing-page", Warning, "A book lacks a page before its later pages.",
     "The game stops at the first page the book lacks: the later pages are never shown.",
     "Add the page or renumber the later ones."},
    {"missing-goal", Warning, "The goals lack a goal before later ones.",
     "The game lists the goals up to the first one missing.", "Add the goal or renumber the later ones."},
    {"unpaired-goal", Warning, "A goal has its fiction_ line but no text_ line, or the other way round.",
     "The game shows each goal from both lines.", "Add the goal's other line."},
    {"missing-entry", Warning, "newgame.str lacks one of its entries.",
     "The new-game screen shows nothing where the entry belongs.", "Add the entry."},
    {"mission-without-title", Warning, "A mission has flags in missflag.str but no title in Titles.str.",
     "The objectives screen and the save dialog show no name for it.", "Add title_N and short_N to Titles.str."},
    {"mission-without-flags", Warning, "A mission has a title in Titles.str but no line in missflag.str.",
     "The game does not know the mission the title names.", "Add miss_N to missflag.str, or delete the title."},
    // Languages
    {"missing-file", Warning, "A file the source language has is missing in a translation.",
     "Players of that language see the source's file or nothing.", "Translate the file into that language."},
    {"missing-in-translation", Warning, "An entry of the source language is missing in a translation.",
     "Players of that language see nothing where the entry belongs.", "Translate the entry into that language."},
    {"missing-in-source", Note, "A translation has an entry its source language lacks.",
     "It may be an entry the source dropped, or a translator's addition (a font, extra pages).",
     "Add it to the source, or delete it from the translation if it is left over."},
    {"term-left-out", Warning, "A translation leaves out the rendering the term list fixes for a term.",
     "The mission's term list (quillwright-terms-<language>.json) says how a term is translated.",
     "Use the term list's rendering, or change the term list."},
    {"unreadable-list", Warning, "A term list or word list of the mission could not be read whole.",
     "Its terms or words were not used.", "Correct the file (JSON for a term list, UTF-8 for a word list)."},
    // Style
    {"trailing-blanks", Note, "A text ends in blanks before its closing quote.",
     "The game shows them; an author rarely means them.", "Delete the blanks."},
    {"double-blanks", Note, "Two or more blanks in a row between the words of a text.",
     "The game shows them all.", "Type one blank."},
    {"key-case", Note, "A numbered key is written in another case than the file's other keys of its word.",
     "The game does not mind the case of keys; a key in another case is often a slip.",
     "Write it as the file's other keys are written."},
    {"mixed-line-ends", Note, "The lines of a file end in more than one way (CR LF, LF, CR).",
     "The game reads them alike; editors and version control may not.", "Save the file with CR LF throughout."},
    // Spelling
    {"unknown-word", Note, "A word no dictionary of its language and no word list of the mission knows (--spelling).",
     "It may be misspelt, or a name of the mission.",
     "Correct it, or add it to the mission's word list (dictionary-<language>.txt)."},
    {"no-dictionary", Note, "No dictionary for a language (--spelling).",
     "Its words are not checked.", "Install the Hunspell dictionary of the language, or name a folder with --dictionaries."},
    {"unchecked-word", Note, "Words a dictionary cannot judge (too long, another script) (--spelling).",
     "They are left out of the spelling.", "Nothing to fix."},
    {"spelling-language", Note, "Which language texts of another language's folder are spelled in (--spelling).",
     "Texts whose code page does not fit their folder's language (Polish kept in english folders), and texts in "
     "no language folder, are spelled in the language of their code page whose dictionary knows most of their "
     "words.",
     "Name the language in the mission's settings: [spelling] english = polish."},
};

} // namespace

const QList<Rule> &all()
{
    return Rules;
}

const Rule *find(QStringView id)
{
    for (const Rule &rule : Rules) {
        if (id == QLatin1String(rule.id))
            return &rule;
    }
    return nullptr;
}

QString levelName(Level level)
{
    switch (level) {
    case Level::Error:
        return QStringLiteral("error");
    case Level::Warning:
        return QStringLiteral("warning");
    case Level::Note:
        break;
    }
    return QStringLiteral("note");
}

QStringList listed()
{
    qsizetype width = 0;
    for (const Rule &rule : Rules)
        width = std::max(width, qsizetype(qstrlen(rule.id)));
    QStringList lines;
    for (const Rule &rule : Rules) {
        lines.append(QString::fromLatin1(rule.id).leftJustified(width + 2)
                     + levelName(rule.level).leftJustified(9)
                     + QCoreApplication::translate("CheckRules", rule.summary));
    }
    return lines;
}

} // namespace CheckRules
