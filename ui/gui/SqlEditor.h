#pragma once

#include <QStringList>
#include <Qsci/qsciscintilla.h>
#include <string>

class QsciAPIs;
class QsciLexerSQL;

// An editor for SQL text: SQL colouring, a fixed-width font, undo, and Ctrl+F to find a text.
// With completion words set, typing the start of a table or column name offers the rest.
class SqlEditor : public QsciScintilla {
    Q_OBJECT
public:
    explicit SqlEditor(QWidget* parent = nullptr);

    std::string Text() const;
    // Replaces the text and forgets the undo history (a freshly opened text has nothing to undo).
    void SetText(const std::string& text);
    // Replaces the text with the contents of a UTF-8 file; -1 (text unchanged) when it cannot be read.
    int LoadFile(const QString& path);
    // Asks for an SQL script and loads it; a cancelled choice changes nothing.
    void ChooseAndLoad();
    // Finds `text` after the cursor, wrapping at the end; false when it is nowhere.
    bool FindText(const QString& text);
    // The names offered by completion; empty switches completion off.
    void SetCompletionWords(const QStringList& words);
    const QStringList& CompletionWords() const { return words_; }

private:
    void AskAndFind();

    QsciLexerSQL* lexer_;
    QsciAPIs* apis_;
    QStringList words_;
};
