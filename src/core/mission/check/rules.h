#pragma once

#include <QList>
#include <QString>

// The rules of `quillwright --check`, each with a stable id in kebab case
// (`unclosed-quote`): printed at the end of each finding's line as
// `[unclosed-quote]`, named in SARIF logs, in ignore comments, in the
// mission's `[check] ignore =` and in baselines. The README lists them with
// what each means and how to fix it; `--list-rules` prints them.
namespace CheckRules {

enum class Level { Error, Warning, Note };

struct Rule {
    const char *id;
    Level level;            // the severity of its findings (an unknown word's may be raised to an error)
    const char *summary;    // one line: what it finds
    const char *details;    // why it matters, as the game reads the file
    const char *help;       // how to fix it, or to silence it when it is meant
};

// Every rule, in the order the README lists them.
const QList<Rule> &all();

// The rule of `id`; nullptr for none.
const Rule *find(QStringView id);

// "error", "warning", "note".
QString levelName(Level level);

// One line a rule, id first: `unclosed-quote  error  An entry's text has no closing quote.`
QStringList listed();

} // namespace CheckRules
