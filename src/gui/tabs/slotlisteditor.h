#pragma once

#include "core/document/error.h"
#include "core/kinds/slotlist.h"
#include "core/document/strdocument.h"
#include "core/save/textcheck.h"

#include <QJsonObject>
#include <QVariantMap>

#include <variant>

class QPlainTextEdit;

// What the Books and Goals tabs share in editing their list of slots (the
// pages `Pg`, the goals `GoalList`): the list and the file it was opened from,
// kept in a draft and put back, the list laid over its file, and an entry of
// the file found in the list box. Each tab keeps its own boxes, buttons and
// captions.
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
    // the file shown.
    void showEntry(QPlainTextEdit *box, int entry) const;


private:
    SlotList &m_list;
    StrDocument &m_document;
    bool &m_opened;
    QString m_editKey;
};
