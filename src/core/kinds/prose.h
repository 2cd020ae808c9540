#pragma once

#include "core/kinds/kind.h"

#include <QStringView>

namespace Kinds {

// Whether an entry's text is prose a player reads -- spelled, offered for
// translation and counted -- or a value the game takes as it stands and that
// is copied unchanged into every language: a flag (`no_trim: "1"`, the
// mission flags of missflag.str), a font or a picture's path, a decal's
// geometry (`#0 $ 1 203 257 370`, `#2 0 0 0 art/pbook`), a number. Asked of
// the kind, then of the key, then of the text itself.
bool holdsProse(Kind kind, QStringView key, QStringView text);

} // namespace Kinds
