#include "model/ProjectManPage.h"
#include "model/ProjectSchema.h"

#include <gtest/gtest.h>
#include <sstream>

namespace {

using Section = ProjectSchema::Section;

// The part of the page under the heading of a section kind, up to the next heading.
std::string PartOf(const std::string& page, Section section)
{
    const char* heading = section == Section::Common ? ".SH [Common]\n"
        : section == Section::Item                   ? ".SH [Item\\fIN\\fP]\n"
                                                     : ".SH [Item\\fIN\\fP_connect]";
    const size_t begin = page.find(heading);
    if (begin == std::string::npos)
        return {};
    return page.substr(begin, page.find("\n.SH ", begin + 1) - begin);
}

// Every key the program reads is on the page under its own section, with each of its
// enumeration values, so that a key added to the schema reaches the installed manual.
TEST(ProjectManPage, NamesEveryKeyAndValueOfTheSchemaInItsSection)
{
    std::ostringstream out;
    ProjectManPage::Write(out, "9.8.7");
    const std::string page = out.str();
    EXPECT_EQ(page.rfind(".TH QUORVEL.QVL 5 \"2026\" \"Quorvel 9.8.7\"", 0), 0u);
    for (const ProjectSchema::Key& key : ProjectSchema::Keys()) {
        const std::string part = PartOf(page, key.section);
        const size_t at = part.find(std::string("\n.B ") + key.name + "\n");
        ASSERT_NE(at, std::string::npos) << key.name;
        const std::string entry = part.substr(at, part.find("\n.TP\n.B ", at + 1) - at);
        EXPECT_NE(entry.find(key.type == ProjectSchema::Type::Text ? "string; read default empty."
                                                                   : "read default " + std::to_string(key.readDefault)),
            std::string::npos)
            << entry;
        for (int value = 0; value <= key.max; ++value)
            EXPECT_NE(entry.find(".TP 4\n.B " + std::to_string(value) + "\n"), std::string::npos) << entry;
    }
}

} // namespace
