#pragma once

#include "external/support/AtomicFile.h"
#include "reports/AReport.h"

#include <map>
#include <memory>
#include <string>

// Output formats of a report.
enum REPORT_FORMAT {
    REPORT_HTML = 1,
};

// The result of MultiReport::Open.
enum REPORT_ERRORS {
    REPORT_OK = 0,
    REPORT_NO_OUTPUT = 1,      // no output file was named
    REPORT_BAD_FORMAT = 2,     // the output format is not one this writer knows
    REPORT_CANNOT_CREATE = 3,  // the output file could not be created or overwritten
};

// Writes a report as an HTML5 document in UTF-8. The head comes from a template (HeadTemplate.h)
// whose fields are set with AddProperty; every text from the caller is escaped, so that project
// texts stay text. Before a successful Open, and after Close, nothing is written. The file is
// finished and closed at the latest when the writer is destroyed.
class MultiReport : public AReport {
public:
    // The encoding of every report file, for the "%CHARSET%" field.
    static constexpr const char* kCharset = "utf-8";

    MultiReport() = default;
    ~MultiReport() override;
    MultiReport(const MultiReport&) = delete;
    MultiReport& operator=(const MultiReport&) = delete;

    // Sets a template field; `field` is written with its percent signs, such as "%TITLE%".
    void AddProperty(const std::string& field, const std::string& value);
    // Names the output file and the head template (a name like "head.htm" is looked up in the
    // template folder).
    void AddReport(REPORT_FORMAT format, const std::string& path, const std::string& headTemplate);
    // Creates or overwrites the output file and writes the head.
    REPORT_ERRORS Open();

    void Text(const std::string& text, PARAGRAPH_TYPE kind) override;
    void Ancor(const std::string& name) override;
    void BeginLinks() override;
    void Link(const std::string& anchor, const std::string& text) override;
    void EndLinks() override;
    void BeginTable() override;
    void EndTable() override;
    void Row2(const std::string& name, const std::string& value, int header = 0, const char* nameStyle = nullptr,
              const char* valueStyle = nullptr) override;
    void Figure(const std::string& svg) override;

    // Finishes the document and puts the file in place. 0 (also when nothing was open), or -1 when
    // some part could not be written, with the errno in Error().
    int Close();
    int Error() const { return error_; }

private:
    void Write(const std::string& html);

    // Anchors not written yet: they go inside the next paragraph, so that they mark its text.
    std::string pendingAnchors_;
    REPORT_FORMAT format_ = REPORT_HTML;
    std::string path_;
    std::string headTemplate_;
    std::map<std::string, std::string> fields_;
    std::unique_ptr<AtomicFile> out_; // while open
    std::string pending_; // written in pieces of some size, not one call per row
    int error_ = 0;
};
