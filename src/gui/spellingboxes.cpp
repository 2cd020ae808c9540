#include "gui/spellingboxes.h"

#include "gui/spellinghighlighter.h"

#include <QAbstractItemView>
#include <QActionGroup>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QPaintEvent>
#include <QPlainTextEdit>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTextLayout>

#include <algorithm>

namespace SpellingBoxes {

namespace {

constexpr int MaxSuggestions = 6;
constexpr qsizetype MaxTextsKept = 20000;   // a table's marks kept before they are all checked anew

QString say(const char *text)
{
    return QCoreApplication::translate("SpellingHighlighter", text);
}

// The one line of a one-line box's text, laid out as the box lays it out.
QTextLine layOut(QTextLayout &layout)
{
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    return line;
}

} // namespace

QList<Spelling::Word> misspelt(Spelling::Service &service, const QString &language, const QString &text, bool load)
{
    QList<Spelling::Word> found;
    if (!service.isReady(language)) {
        if (load && !Spelling::words(text).isEmpty())   // a dictionary loads when a text is first spelled
            service.request(language);
        return found;
    }
    for (const Spelling::Word &word : Spelling::words(text)) {
        if (!service.isKnown(language, text.sliced(word.start, word.length)))
            found.append(word);
    }
    return found;
}

void addWordActions(QMenu *menu, QAction *before, Spelling::Service &service, const QString &language,
                    const QString &word, const std::function<void(const QString &)> &replace,
                    const std::function<void(const QString &)> &failed)
{
    if (word.isEmpty() || service.isKnown(language, word))
        return;
    QList<QAction *> added;
    const QStringList suggestions = service.suggestions(language, word).mid(0, MaxSuggestions);
    for (const QString &suggestion : suggestions) {
        auto *action = new QAction(suggestion, menu);
        QObject::connect(action, &QAction::triggered, menu, [replace, suggestion] { replace(suggestion); });
        added.append(action);
    }
    if (suggestions.isEmpty()) {
        auto *none = new QAction(say("(no suggestions)"), menu);
        none->setEnabled(false);
        added.append(none);
    }
    auto *ignore = new QAction(say("Ignore"), menu);
    ignore->setObjectName(QStringLiteral("spellingIgnore"));
    QObject::connect(ignore, &QAction::triggered, &service,
                     [service = &service, language, word] { service->ignore(language, word); });
    auto *add = new QAction(say("Add to the mission's dictionary"), menu);
    add->setObjectName(QStringLiteral("spellingAdd"));
    add->setEnabled(!service.missionFolder().isEmpty());
    QObject::connect(add, &QAction::triggered, &service, [service = &service, language, word, failed] {
        Error error;
        if (!service->addToMission(language, word, &error))
            failed(say("\"%1\" could not be added to the mission's dictionary: %2").arg(word, error.message));
    });
    added << ignore << add;
    menu->insertActions(before, added);
    if (before)
        menu->insertSeparator(before);
}

void addFileWordsAction(QMenu *menu, Spelling::Service &service, const Language &language,
                        const std::function<void(const QString &)> &failed)
{
    if (!language.fileTexts)
        return;
    auto *addAll = new QAction(say("Add all unknown words of this file to the mission's word list"), menu);
    addAll->setObjectName(QStringLiteral("spellingAddAll"));
    addAll->setEnabled(!service.missionFolder().isEmpty());
    QObject::connect(addAll, &QAction::triggered, &service,
                     [service = &service, language = language(), texts = language.fileTexts, failed] {
                         const QStringList words = service->unknownWords(language, texts());
                         Error error;
                         if (!words.isEmpty() && service->addAllToMission(language, words, &error) < 0)
                             failed(say("The words could not be added to the mission's dictionary: %1").arg(error.message));
                     });
    menu->addSeparator();
    menu->addAction(addAll);
}

void addLanguageMenu(QMenu *menu, const Language &language, const std::function<void(const QString &)> &choose)
{
    menu->addSeparator();
    QMenu *languages = menu->addMenu(say("Language"));
    languages->setObjectName(QStringLiteral("spellingLanguage"));
    auto *group = new QActionGroup(languages);
    const auto offer = [&](const QString &text, const QString &chosen) {
        QAction *item = languages->addAction(text);
        item->setCheckable(true);
        item->setChecked(language.chosen() == chosen);
        item->setData(chosen);
        group->addAction(item);
        QObject::connect(item, &QAction::triggered, menu, [choose, chosen] { choose(chosen); });
    };
    offer(say("The file's (%1)").arg(language.ofFile()), QString());
    languages->addSeparator();
    for (const QString &known : Spelling::knownLanguages())
        offer(known, known);
}

void drawWave(QPainter &painter, qreal from, qreal to, qreal y)
{
    constexpr qreal Amplitude = 1.5;
    constexpr qreal HalfPeriod = 2.0;
    QPainterPath wave(QPointF(from, y + Amplitude));
    bool down = false;
    for (qreal x = from + HalfPeriod; x < to + HalfPeriod; x += HalfPeriod) {
        wave.lineTo(std::min(x, to), down ? y + Amplitude : y - Amplitude);
        down = !down;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::red, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(wave);
    painter.restore();
}

} // namespace SpellingBoxes

// ------------------------------------------------------------ LineEditSpelling

LineEditSpelling::LineEditSpelling(QLineEdit *box, Spelling::Service *service, std::function<QString()> language)
    : QObject(box)
    , m_box(box)
    , m_service(service)
    , m_language(std::move(language))
{
    box->installEventFilter(this);
    box->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(box, &QWidget::customContextMenuRequested, this, [this](const QPoint &position) {
        QMenu *menu = contextMenu(position);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(m_box->mapToGlobal(position));
    });
    connect(box, &QLineEdit::textChanged, this, [this] { check(); });
    connect(service, &Spelling::Service::wordsChanged, this, [this](const QString &changed) {
        if (changed == this->language())
            check();
    });
    connect(service, &Spelling::Service::languagesChanged, this, [this] { check(); });
    check(false);   // the box's first text loads no dictionary: the window at rest holds none
}

void LineEditSpelling::chooseLanguage(const QString &language)
{
    m_language.choose(language);
    check();
    Q_EMIT languageChosen(language);
}

void LineEditSpelling::check(bool load)
{
    if (!m_box)
        return;
    QList<Spelling::Word> marks = SpellingBoxes::misspelt(*m_service, language(), m_box->text(), load);
    if (marks == m_marked)
        return;
    m_marked = std::move(marks);
    m_box->update();
}

bool LineEditSpelling::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_box || event->type() != QEvent::Paint || m_marked.isEmpty())
        return QObject::eventFilter(watched, event);
    // The box paints itself first; the marks go over its text.
    static_cast<QObject *>(m_box.data())->event(event);
    paintMarks();
    return true;
}

void LineEditSpelling::paintMarks()
{
    QLineEdit &box = *m_box;
    QStyleOptionFrame frame;
    frame.initFrom(&box);
    frame.rect = box.rect();
    frame.lineWidth = box.hasFrame() ? box.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, &box) : 0;
    const QRect contents =
        box.style()->subElementRect(QStyle::SE_LineEditContents, &frame, &box).marginsRemoved(box.textMargins());
    // Where the box draws its text: its cursor's place (the middle of the
    // rectangle it gives input methods) less the cursor's offset in the text.
    QTextLayout layout(box.text(), box.font());
    const QTextLine line = SpellingBoxes::layOut(layout);
    const QRectF cursor = box.inputMethodQuery(Qt::ImCursorRectangle).toRectF();
    const qreal origin = cursor.center().x() - line.cursorToX(box.cursorPosition());
    const qreal y = cursor.top() + line.ascent() + 2;
    QPainter painter(&box);
    painter.setClipRect(contents);
    for (const Spelling::Word &word : std::as_const(m_marked)) {
        const qreal from = origin + line.cursorToX(static_cast<int>(word.start));
        const qreal to = origin + line.cursorToX(static_cast<int>(word.start + word.length));
        SpellingBoxes::drawWave(painter, std::min(from, to), std::max(from, to), y);
    }
}

QMenu *LineEditSpelling::contextMenu(const QPoint &position)
{
    QMenu *menu = m_box->createStandardContextMenu();
    const QString text = m_box->text();
    const qsizetype offset = m_box->cursorPositionAt(position);
    for (const Spelling::Word &word : Spelling::words(text)) {
        if (offset < word.start || offset > word.start + word.length)
            continue;
        const int start = static_cast<int>(word.start);
        const int length = static_cast<int>(word.length);
        const auto replace = [box = m_box, start, length](const QString &suggestion) {
            if (!box)
                return;
            box->setSelection(start, length);
            box->insert(suggestion);   // a step of the box's own undo, and an edit the page hears
        };
        SpellingBoxes::addWordActions(menu, menu->actions().isEmpty() ? nullptr : menu->actions().constFirst(),
                                      *m_service, language(), text.sliced(word.start, word.length), replace,
                                      [this](const QString &message) { Q_EMIT failed(message); });
        break;
    }
    SpellingBoxes::addFileWordsAction(menu, *m_service, m_language, [this](const QString &message) { Q_EMIT failed(message); });
    SpellingBoxes::addLanguageMenu(menu, m_language, [this](const QString &chosen) { chooseLanguage(chosen); });
    return menu;
}

// ------------------------------------------------------------ SpellingDelegate

SpellingDelegate::SpellingDelegate(QAbstractItemView *view, int column, Spelling::Service *service,
                                   std::function<QString()> language, QAbstractItemDelegate *inner)
    : QStyledItemDelegate(view)
    , m_view(view)
    , m_column(column)
    , m_service(service)
    , m_language(std::move(language))
    , m_inner(inner)
{
    if (inner) {
        inner->setParent(this);
        // The editor's end and what it commits are told by this delegate,
        // which the view listens to.
        connect(inner, &QAbstractItemDelegate::commitData, this, &QAbstractItemDelegate::commitData);
        connect(inner, &QAbstractItemDelegate::closeEditor, this, &QAbstractItemDelegate::closeEditor);
        connect(inner, &QAbstractItemDelegate::sizeHintChanged, this, &QAbstractItemDelegate::sizeHintChanged);
    }
    connect(service, &Spelling::Service::wordsChanged, this, [this](const QString &changed) {
        if (changed == this->language())
            forget();
    });
    connect(service, &Spelling::Service::languagesChanged, this, &SpellingDelegate::forget);
}

void SpellingDelegate::chooseLanguage(const QString &language)
{
    m_language.choose(language);
    forget();
}

void SpellingDelegate::forget()
{
    m_checked.clear();
    if (m_view)
        m_view->viewport()->update();
}

QList<Spelling::Word> SpellingDelegate::marked(const QModelIndex &index) const
{
    if (index.column() != m_column)
        return {};
    const QString language = m_language();
    if (language != m_checkedIn) {
        m_checked.clear();
        m_checkedIn = language;
    }
    const QString text = index.data(Qt::DisplayRole).toString();
    if (const auto found = m_checked.constFind(text); found != m_checked.cend())
        return *found;
    if (!m_service->isReady(language)) {
        if (!Spelling::words(text).isEmpty())
            m_service->request(language);   // painted again once it is loaded
        return {};
    }
    if (m_checked.size() >= SpellingBoxes::MaxTextsKept)
        m_checked.clear();
    return *m_checked.insert(text, SpellingBoxes::misspelt(*m_service, language, text));
}

void SpellingDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    if (m_inner)
        m_inner->paint(painter, option, index);
    else
        QStyledItemDelegate::paint(painter, option, index);
    const QList<Spelling::Word> marks = marked(index);
    if (marks.isEmpty())
        return;
    // The text laid out as the style lays it out in the cell.
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QWidget *widget = item.widget;
    const QStyle *style = widget ? widget->style() : QApplication::style();
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &item, widget).adjusted(margin, 0, -margin, 0);
    QTextOption textOption;
    textOption.setWrapMode(item.features & QStyleOptionViewItem::WrapText ? QTextOption::WordWrap
                                                                           : QTextOption::ManualWrap);
    textOption.setTextDirection(item.direction);
    textOption.setAlignment(QStyle::visualAlignment(item.direction, item.displayAlignment));
    QString text = item.text;
    text.replace(u'\n', QChar::LineSeparator);
    QTextLayout layout(text, item.font);
    layout.setTextOption(textOption);
    qreal height = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(area.width());
        line.setPosition(QPointF(0, height));
        height += line.height();
    }
    layout.endLayout();
    const QRect placed = QStyle::alignedRect(item.direction, item.displayAlignment,
                                             QSize(area.width(), static_cast<int>(height)), area);
    painter->save();
    painter->setClipRect(area);
    for (const Spelling::Word &word : marks) {
        const QTextLine line = layout.lineForTextPosition(static_cast<int>(word.start));
        if (!line.isValid())
            continue;
        const int end = static_cast<int>(std::min(word.start + word.length, qsizetype(line.textStart() + line.textLength())));
        const qreal from = placed.x() + line.cursorToX(static_cast<int>(word.start));
        const qreal to = placed.x() + line.cursorToX(end);
        SpellingBoxes::drawWave(*painter, std::min(from, to), std::max(from, to),
                                placed.y() + line.y() + line.ascent() + 2);
    }
    painter->restore();
}

QSize SpellingDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    return m_inner ? m_inner->sizeHint(option, index) : QStyledItemDelegate::sizeHint(option, index);
}

QWidget *SpellingDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QWidget *editor = m_inner ? m_inner->createEditor(parent, option, index)
                              : QStyledItemDelegate::createEditor(parent, option, index);
    if (!editor || index.column() != m_column)
        return editor;
    auto *self = const_cast<SpellingDelegate *>(this);
    const auto language = [self] { return self->language(); };
    if (auto *line = qobject_cast<QLineEdit *>(editor)) {
        auto *spelling = new LineEditSpelling(line, m_service, language);
        connect(spelling, &LineEditSpelling::failed, self, &SpellingDelegate::failed);
        connect(spelling, &LineEditSpelling::languageChosen, self, &SpellingDelegate::chooseLanguage);
    } else if (auto *box = qobject_cast<QPlainTextEdit *>(editor)) {
        auto *spelling = new SpellingHighlighter(box, m_service, language);
        connect(spelling, &SpellingHighlighter::failed, self, &SpellingDelegate::failed);
        connect(spelling, &SpellingHighlighter::languageChosen, self, &SpellingDelegate::chooseLanguage);
    }
    return editor;
}

void SpellingDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    m_inner ? m_inner->setEditorData(editor, index) : QStyledItemDelegate::setEditorData(editor, index);
}

void SpellingDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    m_inner ? m_inner->setModelData(editor, model, index) : QStyledItemDelegate::setModelData(editor, model, index);
}

void SpellingDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                                            const QModelIndex &index) const
{
    m_inner ? m_inner->updateEditorGeometry(editor, option, index)
            : QStyledItemDelegate::updateEditorGeometry(editor, option, index);
}

void SpellingDelegate::destroyEditor(QWidget *editor, const QModelIndex &index) const
{
    m_inner ? m_inner->destroyEditor(editor, index) : QStyledItemDelegate::destroyEditor(editor, index);
}

bool SpellingDelegate::editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                                   const QModelIndex &index)
{
    return m_inner ? m_inner->editorEvent(event, model, option, index)
                   : QStyledItemDelegate::editorEvent(event, model, option, index);
}

bool SpellingDelegate::helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                                 const QModelIndex &index)
{
    return m_inner ? m_inner->helpEvent(event, view, option, index)
                   : QStyledItemDelegate::helpEvent(event, view, option, index);
}
