#!/usr/bin/env python3
"""Prints the outline of an HTML report, one tab-separated line per item, for the report tests.

Items: doctype, lang, charset, title, h1, h2, note, p, link (href, text), anchor (id), table,
/table, head and row (the texts of a table row's cells; a header row adds its first cell's style).
Texts are printed as the parser decodes them, with line breaks and tabs shown as \\n and \\t.
Structural faults are printed as ERROR lines: bytes that are not UTF-8, a missing doctype, end
tags that do not match, elements left open or in the wrong parent, duplicate ids, links to ids
that do not exist, and anything that would run script.
"""
import sys
from html.parser import HTMLParser

VOID = {"area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta", "source", "track", "wbr"}
PARENTS = {
    "head": {"html"}, "body": {"html"}, "title": {"head"}, "meta": {"head"}, "style": {"head"},
    "tr": {"table", "tbody", "thead"}, "th": {"tr"}, "td": {"tr"}, "li": {"ul", "ol"}, "ul": {"nav", "body"},
    "table": {"body"}, "h1": {"body"}, "h2": {"body"}, "p": {"body"}, "nav": {"body"},
}
CAPTURED = {"title", "h1", "h2", "p", "a", "th", "td"}


def shown(text):
    return text.replace("\\", "\\\\").replace("\n", "\\n").replace("\t", "\\t")


class Outline(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.lines, self.errors, self.stack = [], [], []
        self.ids, self.hrefs = set(), []
        self.capture, self.capture_tag, self.attrs, self.cells = None, None, {}, None
        self.doctype = False

    def handle_decl(self, decl):
        self.doctype = decl.lower() == "doctype html" and not self.stack

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        parent = self.stack[-1] if self.stack else None
        if tag in PARENTS and parent not in PARENTS[tag]:
            self.errors.append(f"<{tag}> inside <{parent}>")
        if tag == "script" or any(name.startswith("on") for name in attrs):
            self.errors.append(f"script in <{tag}>")
        self.check_id(attrs.get("id"))
        self.outline_start(tag, attrs)
        if tag not in VOID:
            self.stack.append(tag)

    def check_id(self, ident):
        if ident is None:
            return
        if ident in self.ids:
            self.errors.append(f"duplicate id {ident}")
        self.ids.add(ident)
        self.lines.append(f"anchor\t{ident}")

    def outline_start(self, tag, attrs):
        if tag == "html":
            self.lines.append(f"lang\t{attrs.get('lang', '')}")
        elif tag == "meta" and "charset" in attrs:
            self.lines.append(f"charset\t{attrs['charset']}")
        elif tag == "table":
            self.lines.append("table")
        elif tag == "tr":
            self.cells = []
        if tag == "a" and "href" in attrs:
            self.hrefs.append(attrs["href"])
        elif tag == "a":
            return
        if tag in CAPTURED:
            self.capture, self.capture_tag, self.attrs = [], tag, attrs

    def handle_data(self, data):
        if self.capture is not None:
            self.capture.append(data)

    def handle_endtag(self, tag):
        if not self.stack or self.stack[-1] != tag:
            self.errors.append(f"</{tag}> closes <{self.stack[-1] if self.stack else None}>")
            return
        self.stack.pop()
        if tag == self.capture_tag and self.capture is not None:
            self.outline_end(tag, "".join(self.capture))
            self.capture = None
        elif tag == "tr":
            self.end_row()
        elif tag == "table":
            self.lines.append("/table")

    def outline_end(self, tag, text):
        if tag in ("th", "td"):
            self.cells.append((text, self.attrs))
        elif tag == "a":
            self.lines.append(f"link\t{self.attrs.get('href', '')}\t{shown(text)}")
        elif tag == "p" and self.attrs.get("class") == "note":
            self.lines.append(f"note\t{shown(text)}")
        else:
            self.lines.append(f"{tag}\t{shown(text)}")

    def end_row(self):
        texts = [shown(text) for text, _ in self.cells]
        if len(texts) != 2:
            self.errors.append(f"row of {len(texts)} cells")
        header = any(attrs.get("scope") == "col" for _, attrs in self.cells)
        line = ("head" if header else "row") + "\t" + "\t".join(texts)
        style = self.cells[0][1].get("style") if self.cells else None
        self.lines.append(line + (f"\t{style}" if header and style else ""))

    def unknown_decl(self, data):
        self.errors.append(f"declaration {data}")

    def finish(self):
        if not self.doctype:
            self.errors.append("no doctype")
        if self.stack:
            self.errors.append("left open: " + " ".join(self.stack))
        for href in self.hrefs:
            if not href.startswith("#") or href[1:] not in self.ids:
                self.errors.append(f"link to missing anchor {href}")


def main(path):
    with open(path, "rb") as f:
        data = f.read()
    try:
        text = data.decode("utf-8")
    except UnicodeDecodeError as e:
        print(f"ERROR\tnot UTF-8: {e}")
        text = data.decode("utf-8", "replace")
    outline = Outline()
    outline.feed(text)
    outline.close()
    outline.finish()
    if outline.doctype:
        print("doctype")
    for line in outline.lines:
        print(line)
    for error in outline.errors:
        print(f"ERROR\t{error}")


if __name__ == "__main__":
    main(sys.argv[1])
