#pragma once

#include "core/kinds/slotlist.h"
#include "core/document/strdocument.h"
#include "core/save/textcheck.h"

#include <QJsonObject>
#include <QVariantMap>

#include <functional>
#include <variant>

class Prompts;
class QPlainTextEdit;
class SaveFlow;

// What the Books and Goals tabs share in editing their list of slots (the
// pages `Pg`, the goals `GoalList`): the list and the file it was opened from,
// kept in a draft and put back, saved through the save flow (an opened file's
// next save starting from what was written), and an entry of the opened file
// found in the list box. Each tab keeps its own boxes, buttons and captions.
class SlotListEditor
{
public:
    // `list`, `document` and `opened` are the tab's state; `editKey` names the
    // edit position in the tab's drafts ("editIndex", "editPos").
    SlotListEditor(SlotList &list, StrDocument &document, bool &opened, QString editKey);

    // The list's share of a draft: every slot, the count, the edit position,
    // whether a slot is being edited, and an opened file with where the slots
    // came from.
    void draft(QVariantMap &draft, bool editing) const;
    // Puts back the slots, the count and the edit position of a draft.
    void restoreSlots(const QJsonObject &draft);
    // Puts back the opened file (none: typed from scratch) and the slots' origins.
    void restoreFile(const QJsonObject &draft);

    // Selects, in `box` showing the list, the slot that came from `entry` of
    // the opened file.
    void showEntry(QPlainTextEdit *box, int entry) const;

    // Writes `file` under `suggestedName` (its problem shown instead, when it
    // has one); an opened list is then `rebase`d on what was written. False
    // when nothing was written.
    bool save(const std::variant<StrDocument, Error> &file, const QString &suggestedName,
              Prompts &prompts, SaveFlow &saveFlow, const std::function<void(const StrDocument &)> &rebase) const;

private:
    SlotList &m_list;
    StrDocument &m_document;
    bool &m_opened;
    QString m_editKey;
};
