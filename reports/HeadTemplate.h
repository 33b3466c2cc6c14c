#pragma once

#include <map>
#include <string>

// The head of a report document comes from a template file: everything up to and including the
// opening body tag, with fields such as "%TITLE%" where the writer puts its values.

// The template text of `name`. A relative name is looked up in the template folder; a missing,
// unreadable or empty file gives the built-in head, so a report never lacks its head.
std::string LoadHeadTemplate(const std::string& name);

// Chooses the folder in which relative template names are looked up; an empty folder restores
// the default, the program's shared files (beside it in the build tree, share/quorvel when
// installed). Tests point it elsewhere.
void SetHeadTemplateFolder(const std::string& folder);

// `text` with every field that `fields` names (keys written with their percent signs, such as
// "%TITLE%") replaced by its value, HTML-escaped. The text is read once from left to right, so a
// value that itself holds a field name stays as it is; percent signs that do not form a known
// field (those of a stylesheet, for example) are kept.
std::string FillHeadTemplate(const std::string& text, const std::map<std::string, std::string>& fields);
