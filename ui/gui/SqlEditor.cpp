#include "ui/gui/SqlEditor.h"

#include "ui/gui/UserDialogs.h"

#include <QFile>
#include <QFontDatabase>
#include <QInputDialog>
#include <QShortcut>
#include <Qsci/qsciapis.h>
#include <Qsci/qscilexersql.h>

SqlEditor::SqlEditor(QWidget* parent)
    : QsciScintilla(parent)
    , lexer_(new QsciLexerSQL(this))
{
    const QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    lexer_->setDefaultFont(font);
    lexer_->setFont(font);
    setLexer(lexer_);
    apis_ = new QsciAPIs(lexer_);
    setUtf8(true);
    setMarginWidth(0, 0);
    setMarginWidth(1, 0);
    setAutoIndent(true);
    // The horizontal scroll bar follows the longest line instead of a fixed wide page.
    SendScintilla(SCI_SETSCROLLWIDTH, 1);
    SendScintilla(SCI_SETSCROLLWIDTHTRACKING, true);
    setTabWidth(4);
    setAutoCompletionSource(QsciScintilla::AcsNone);
    setAutoCompletionThreshold(2);
    setAutoCompletionCaseSensitivity(false);
    setAccessibleName(tr("SQL statement"));
    auto* find = new QShortcut(QKeySequence::Find, this, this, &SqlEditor::AskAndFind);
    find->setContext(Qt::WidgetShortcut);
}

std::string SqlEditor::Text() const
{
    return text().toStdString();
}

void SqlEditor::SetText(const std::string& text)
{
    setText(QString::fromStdString(text));
    SendScintilla(SCI_EMPTYUNDOBUFFER);
}

int SqlEditor::LoadFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    setText(QString::fromUtf8(file.readAll()));
    return 0;
}

void SqlEditor::ChooseAndLoad()
{
    const QString path = Dialogs().OpenFile(this, QString(), tr("SQL scripts (*.sql);;All Files (*)"), QString());
    if (!path.isEmpty())
        LoadFile(path);
}

bool SqlEditor::FindText(const QString& text)
{
    return !text.isEmpty() && findFirst(text, false, false, false, true);
}

void SqlEditor::SetCompletionWords(const QStringList& words)
{
    words_ = words;
    apis_->clear();
    for (const QString& word : words)
        apis_->add(word);
    apis_->prepare();
    setAutoCompletionSource(words.isEmpty() ? QsciScintilla::AcsNone : QsciScintilla::AcsAll);
}

void SqlEditor::AskAndFind()
{
    bool ok = false;
    const QString text
        = QInputDialog::getText(this, tr("Find"), tr("Find what:"), QLineEdit::Normal, selectedText(), &ok);
    if (ok)
        FindText(text);
}
