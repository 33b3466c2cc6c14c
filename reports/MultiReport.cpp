#include "reports/MultiReport.h"

#include "reports/HeadTemplate.h"
#include "reports/HtmlText.h"

#include <string_view>

namespace {

// The window shows reports in Qt's text browser, which takes widths only from the old width
// attributes, not from a stylesheet; a width style therefore goes in both forms.
std::string StyleAttribute(const char* style)
{
    if (style == nullptr)
        return {};
    std::string attributes = " style=\"" + HtmlEscape(style) + "\"";
    constexpr std::string_view kWidth = "width:";
    std::string_view text(style);
    if (text.substr(0, kWidth.size()) == kWidth) {
        text.remove_prefix(kWidth.size());
        const size_t first = text.find_first_not_of(' ');
        const size_t last = text.find_last_not_of("; ");
        if (first != std::string_view::npos && last != std::string_view::npos && last >= first)
            attributes += " width=\"" + HtmlEscape(std::string(text.substr(first, last - first + 1))) + "\"";
    }
    return attributes;
}

// An element on one line of its own. No blank is added inside it: cell values such as " 20.0 ms"
// keep their leading blanks.
std::string Element(const char* tag, const std::string& attributes, const std::string& text)
{
    return std::string("<") + tag + attributes + ">" + HtmlEscape(text) + "</" + tag + ">";
}

const char* ParagraphTag(PARAGRAPH_TYPE kind)
{
    switch (kind) {
    case PARA_TITLE:
        return "h1";
    case PARA_HEADING:
        return "h2";
    default:
        return "p";
    }
}

} // namespace

MultiReport::~MultiReport()
{
    Close();
}

void MultiReport::AddProperty(const std::string& field, const std::string& value)
{
    fields_[field] = value;
}

void MultiReport::AddReport(REPORT_FORMAT format, const std::string& path, const std::string& headTemplate)
{
    format_ = format;
    path_ = path;
    headTemplate_ = headTemplate;
}

REPORT_ERRORS MultiReport::Open()
{
    Close();
    pendingAnchors_.clear();
    if (path_.empty())
        return REPORT_NO_OUTPUT;
    if (format_ != REPORT_HTML)
        return REPORT_BAD_FORMAT;
    error_ = 0;
    out_ = std::make_unique<AtomicFile>(path_);
    if (out_->Open() != 0) {
        error_ = out_->Error();
        out_.reset();
        return REPORT_CANNOT_CREATE;
    }
    Write(FillHeadTemplate(LoadHeadTemplate(headTemplate_), fields_));
    return REPORT_OK;
}

void MultiReport::Text(const std::string& text, PARAGRAPH_TYPE kind)
{
    const char* tag = ParagraphTag(kind);
    const std::string attributes = kind == PARA_NOTE ? " class=\"note\"" : "";
    std::string anchors;
    anchors.swap(pendingAnchors_);
    Write(std::string("<") + tag + attributes + ">" + anchors + HtmlEscape(text) + "</" + tag + ">\n");
}

// Qt's text browser, in which the window shows reports, drops an empty anchor that stands between
// two blocks, so the links to it would lead nowhere; inside the heading that follows it, it marks
// the heading's text, in every browser.
void MultiReport::Ancor(const std::string& name)
{
    if (out_ != nullptr)
        pendingAnchors_ += "<a id=\"" + HtmlEscape(name) + "\"></a>";
}

void MultiReport::BeginLinks()
{
    Write("<nav>\n<ul>\n");
}

void MultiReport::Link(const std::string& anchor, const std::string& text)
{
    Write("<li>" + Element("a", " href=\"#" + HtmlEscape(anchor) + "\"", text) + "</li>\n");
}

void MultiReport::EndLinks()
{
    Write("</ul>\n</nav>\n");
}

void MultiReport::BeginTable()
{
    Write("<table width=\"100%\">\n"); // the attribute for Qt's text browser, as above
}

void MultiReport::EndTable()
{
    Write("</table>\n");
}

void MultiReport::Row2(const std::string& name, const std::string& value, int header, const char* nameStyle,
                       const char* valueStyle)
{
    // Names head their rows, so that they read as such also to a screen reader.
    const std::string scope = header != 0 ? " scope=\"col\"" : " scope=\"row\"";
    const char* valueTag = header != 0 ? "th" : "td";
    const std::string valueScope = header != 0 ? scope : "";
    Write("<tr>" + Element("th", scope + StyleAttribute(nameStyle), name) +
          Element(valueTag, valueScope + StyleAttribute(valueStyle), value) + "</tr>\n");
}

// Inline, so that the file stays one self-contained document.
void MultiReport::Figure(const std::string& svg)
{
    Write("<figure>\n" + svg + "\n</figure>\n");
}

int MultiReport::Close()
{
    if (out_ == nullptr)
        return 0;
    Write("</body>\n</html>\n");
    const int result = out_->Write(pending_) == 0 && out_->Commit() == 0 ? 0 : -1;
    error_ = out_->Error();
    out_.reset();
    pending_.clear();
    return result;
}

void MultiReport::Write(const std::string& html)
{
    if (out_ == nullptr)
        return;
    if (!pendingAnchors_.empty()) { // an anchor before anything but a paragraph stands alone
        pending_ += pendingAnchors_ + "\n";
        pendingAnchors_.clear();
    }
    pending_ += html;
    constexpr size_t kPiece = 64 * 1024;
    if (pending_.size() >= kPiece) {
        out_->Write(pending_); // a failure stays with the file, and Close tells it
        pending_.clear();
    }
}
