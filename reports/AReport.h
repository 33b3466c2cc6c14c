#pragma once

#include <string>

// Kinds of paragraph. The numbers are those that the program has always passed.
enum PARAGRAPH_TYPE {
    PARA_TEXT = 0,
    PARA_TITLE = 2,   // the document's title
    PARA_HEADING = 3, // a section's heading
    PARA_NOTE = 5,    // the user's note on an event
};

// A report document, whatever its format: paragraphs, anchors, a list of links to them, and
// two-column tables of names and values. The rows that every report shares are written here,
// once, in terms of Row2, so that each format words them alike.
class AReport {
public:
    // The width of the name column, for the first cell of a table's header row.
    static constexpr const char* kNameColumnStyle = "width: 35%";

    virtual ~AReport() = default;

    virtual void Text(const std::string& text, PARAGRAPH_TYPE kind) = 0;
    // A place in the document that links can point to.
    virtual void Ancor(const std::string& name) = 0;
    // A list of links to anchors of the same document.
    virtual void BeginLinks() = 0;
    virtual void Link(const std::string& anchor, const std::string& text) = 0;
    virtual void EndLinks() = 0;
    // A two-column table of names and values.
    virtual void BeginTable() = 0;
    virtual void EndTable() = 0;
    // One row of a name and a value; a nonzero `header` makes it a header row. The styles are
    // CSS declarations for the two cells (program text such as kNameColumnStyle), or null.
    virtual void Row2(const std::string& name, const std::string& value, int header = 0,
                      const char* nameStyle = nullptr, const char* valueStyle = nullptr) = 0;

    // A picture that the program drew (SVG markup of its own, never project text), between
    // paragraphs. Formats that cannot show one leave it out.
    virtual void Figure(const std::string& svg) { (void)svg; }

    // The header row of a table of attributes and their values.
    void AttributeRowHeader();
    // A row that tells when the report was made, in local time.
    void ReportCreated();
};
