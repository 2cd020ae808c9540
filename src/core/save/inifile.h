#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <utility>

// The text of an INI file by Qt's rules (those of QSettings' IniFormat), read
// from bytes the program read itself and written back as bytes, so that such
// a file is read and written the one safe way every other file is.
//
// - "[group]" starts a group; "key=value" lines follow; blanks around keys
//   and values do not count. Keys before any group belong to [General].
// - A line starting with ';' is a comment, and so is a ';' outside quotes
//   and whatever follows it on its line.
// - In keys and group names, %XX and %UXXXX stand for a character and '\'
//   for '/'. In values, a text in double quotes is taken as it stands; the
//   escapes \" \\ \n \t \r are read anywhere (one Qt does not know is
//   dropped); a comma outside quotes makes a list, which reads as a text
//   only when it has one item.
// - The bytes are UTF-8 (a byte-order mark is skipped); lines end in LF or
//   CR LF.
namespace IniFile {

struct Value {
    QString group;   // "" for [General]
    QString key;
    QString value;       // empty for a list of more than one item
    QStringList items;   // the value's items: one, or a list's
};

// Every value of the file, in the order of its lines.
QList<Value> values(QByteArrayView bytes);

// `bytes` with the keys of `group` (any case) that `drops` names taken out,
// and `added` (key, value) put in, as Qt writes them, after the last line of
// the group's first part, or in a new group at the end. Every other line
// stays as it is; a new file's lines end as Qt ends them on this platform.
QByteArray edited(QByteArrayView bytes, const QString &group, const std::function<bool(const QString &key)> &drops,
                  const QList<std::pair<QString, QString>> &added);

} // namespace IniFile
