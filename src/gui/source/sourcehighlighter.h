#pragma once

#include <QSyntaxHighlighter>
#include <QTextCharFormat>

// The colours of a file's source, line by line, as the game's tokenizer
// (StrSyntax) reads it: keys, the quotes around texts, escapes inside them,
// comment lines, and in grey what the game does not read (what follows a
// closing quote, lines that are no entry). A text that goes on over lines,
// and a key whose quote stands on a later line, carry over to the next line.
class SourceHighlighter : public QSyntaxHighlighter
{
    Q_OBJECT

public:
    explicit SourceHighlighter(QTextDocument *document);

    enum Part { Key, Quote, Escape, Comment, Unread };
    // The format of each part (tests read the colours given).
    QTextCharFormat format(Part part) const;

protected:
    void highlightBlock(const QString &text) override;

private:
    // What the line before left open.
    enum State { Outside = 0, InText = 1, AfterKey = 2 };
    // Colours `bytes` (the line, each character one byte), read after
    // `lead` (the part of an entry the lines before opened); the state after it.
    State colour(const QByteArray &bytes, QByteArrayView lead);
    void colourText(qsizetype from, qsizetype to, bool endsTheLine);
    bool quoteFollows() const;

    QTextCharFormat m_formats[5];
    QString m_text;   // the line being coloured
};
