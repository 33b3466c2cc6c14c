#!/usr/bin/env python3
"""Prints the outline of an HTML report for the report tests: one tab-separated line per item
(doctype, lang, charset, title, h1, h2, note, p, link, anchor, head, row, /table, chart), then an
ERROR line per structural fault: bytes not UTF-8, no doctype, end tags that do not match, elements
left open or in the wrong parent, duplicate ids, links to missing ids, anything that runs script, an
inline picture that is not well-formed SVG.
"""
import re
import sys
import xml.etree.ElementTree as ET
from html.parser import HTMLParser
from pathlib import Path

SVG = "{http://www.w3.org/2000/svg}"

VOID = {"area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta", "source", "track", "wbr"}
PARENTS = {
    "head": {"html"}, "body": {"html"}, "title": {"head"}, "meta": {"head"}, "style": {"head"},
    "tr": {"table", "tbody", "thead"}, "th": {"tr"}, "td": {"tr"}, "li": {"ul", "ol"}, "ul": {"nav", "body"},
    "table": {"body"}, "h1": {"body"}, "h2": {"body"}, "p": {"body"}, "nav": {"body"},
}
CAPTURED = {"title", "h1", "h2", "p", "a", "th", "td"}


# Texts as the parser decodes them, with line breaks and tabs shown as \n and \t.
def shown(text):
    return text.replace("\\", "\\\\").replace("\n", "\\n").replace("\t", "\\t")


class Outline(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.lines, self.errors, self.stack, self.ids, self.hrefs = [], [], [], set(), []
        self.capture, self.cells, self.doctype = None, None, False  # capture: tag, attributes, texts

    def handle_decl(self, decl):
        self.doctype = decl.lower() == "doctype html" and not self.stack

    def unknown_decl(self, data):
        self.errors.append(f"declaration {data}")

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        parent = self.stack[-1] if self.stack else None
        if tag in PARENTS and parent not in PARENTS[tag]:
            self.errors.append(f"<{tag}> inside <{parent}>")
        if tag == "script" or any(name.startswith("on") for name in attrs):
            self.errors.append(f"script in <{tag}>")
        if "id" in attrs:
            self.errors += [f"duplicate id {attrs['id']}"] if attrs["id"] in self.ids else []
            self.ids.add(attrs["id"])
            self.lines.append(f"anchor\t{attrs['id']}")
        if tag == "html":
            self.lines.append(f"lang\t{attrs.get('lang', '')}")
        elif tag == "meta" and "charset" in attrs:
            self.lines.append(f"charset\t{attrs['charset']}")
        elif tag == "tr":
            self.cells = []
        if tag == "a" and "href" in attrs:
            self.hrefs.append(attrs["href"])
        if tag in CAPTURED and (tag != "a" or "href" in attrs):
            self.capture = (tag, attrs, [])
        if tag not in VOID:
            self.stack.append(tag)

    def handle_data(self, data):
        if self.capture:
            self.capture[2].append(data)

    def handle_endtag(self, tag):
        if not self.stack or self.stack[-1] != tag:
            self.errors.append(f"</{tag}> closes <{self.stack[-1] if self.stack else None}>")
            return
        self.stack.pop()
        if self.capture and self.capture[0] == tag:
            _, attrs, texts = self.capture
            text, self.capture = "".join(texts), None
            if tag in ("th", "td"):
                self.cells.append((text, attrs))
            elif tag == "a":
                self.lines.append(f"link\t{attrs['href']}\t{shown(text)}")
            else:
                self.lines.append(f"{'note' if tag == 'p' and attrs.get('class') == 'note' else tag}\t{shown(text)}")
        elif tag == "tr":  # the cells' texts; a header row adds its first cell's style
            if len(self.cells) != 2:
                self.errors.append(f"row of {len(self.cells)} cells")
            header = any(attrs.get("scope") == "col" for _, attrs in self.cells)
            style = self.cells[0][1].get("style") if header and self.cells else None
            texts = "\t".join(shown(text) for text, _ in self.cells) + (f"\t{style}" if style else "")
            self.lines.append(("head\t" if header else "row\t") + texts)
        elif tag == "table":
            self.lines.append("/table")

    def finish(self):
        self.errors += [] if self.doctype else ["no doctype"]
        self.errors += ["left open: " + " ".join(self.stack)] if self.stack else []
        self.errors += [f"link to missing anchor {h}" for h in self.hrefs if not h.startswith("#") or h[1:] not in self.ids]


# Each inline picture must stand on its own as an SVG document: its name, then how many points its
# line has and how many marks of each colour it draws ("chart\tname\tpoints\tcolour=marks ...").
def charts(text):
    lines, errors = [], []
    for block in re.findall(r"<svg\b.*?</svg>", text, re.S):
        try:
            svg = ET.fromstring(block)
        except ET.ParseError as e:
            errors.append(f"svg does not parse: {e}")
            continue
        if svg.tag != SVG + "svg" or any(e.tag == SVG + "script" for e in svg.iter()):
            errors.append("svg is not a plain SVG picture")
        points = sum(len(e.get("points").split()) for e in svg.iter(SVG + "polyline"))
        marks = sorted(f"{e.get('stroke')}={e.get('d').count('M')}" for e in svg.iter(SVG + "path") if e.get("class") == "marks")
        lines.append("\t".join([f"chart\t{svg.get('aria-label')}\t{points}"] + marks))
    return lines, errors


def main(path):
    data = Path(path).read_bytes()
    try:
        text = data.decode("utf-8")
    except UnicodeDecodeError as e:
        print(f"ERROR\tnot UTF-8: {e}")
        text = data.decode("utf-8", "replace")
    outline = Outline()
    outline.feed(text)
    outline.close()
    outline.finish()
    pictures, faults = charts(text)
    errors = outline.errors + faults
    print("\n".join((["doctype"] if outline.doctype else []) + outline.lines + pictures + [f"ERROR\t{e}" for e in errors]))


if __name__ == "__main__":
    main(sys.argv[1])
