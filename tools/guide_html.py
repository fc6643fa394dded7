#!/usr/bin/env python3
"""Turns the user guide part of the README into one self-contained HTML file for the download.

    python3 tools/guide_html.py README.md guide.html

The guide is the part between the lines "<!-- guide:begin -->" and "<!-- guide:end -->"; the
README stays its only source. Its pictures go into the page as data: addresses, so the page shows
them wherever it is opened, without a folder beside it. Standard library only.

Only the Markdown the guide uses is understood: headings, paragraphs, lists ("- " and "1. ", with
continuation lines indented), tables, pictures on a line of their own, indented code blocks, and
`code`, **bold** and [links](target) inside lines. Anything else is shown as text.
"""

import base64
import html
import pathlib
import re
import sys
import textwrap

BEGIN = "<!-- guide:begin -->"
END = "<!-- guide:end -->"
PICTURE = re.compile(r"^!\[([^\]]*)\]\(([^)\s]+)\)$")
HEADING = re.compile(r"^(#{1,4}) (.*)$")
UNORDERED = re.compile(r"^- (.*)$")
ORDERED = re.compile(r"^(\d+)\. (.*)$")
LINK = re.compile(r"\[([^\]]+)\]\(([^)\s]+)\)")
BOLD = re.compile(r"\*\*(.+?)\*\*")
MIME = {".png": "image/png", ".jpg": "image/jpeg", ".gif": "image/gif"}
# The program's Chinese labels, quoted in the English guide: a run of Chinese characters, with
# the digits and spaces inside it ("第 1 行 启用"), is marked so that a reader voices it in Chinese.
HAN = "\u3000-\u303f\u3400-\u4dbf\u4e00-\u9fff\uff00-\uffef"
CHINESE = re.compile("[%s]+(?:[ 0-9]+[%s]+)*" % (HAN, HAN))
TAG = re.compile(r"(<[^>]*>)")

STYLE = """
body { font-family: "Segoe UI", "Microsoft YaHei", sans-serif; max-width: 52em; margin: 2em auto;
       padding: 0 1em; line-height: 1.5; color: #1b2a35; }
h1, h2, h3 { color: #16344c; }
code, pre { font-family: Consolas, monospace; background: #eef5fa; }
pre { padding: 0.5em 1em; }
table { border-collapse: collapse; }
th, td { border: 1px solid #92c9e4; padding: 0.2em 0.6em; text-align: left; vertical-align: top; }
img { display: block; margin: 1em 0; max-width: 100%; }
"""


class GuideError(Exception):
    pass


def slug(text):
    """The anchor GitHub gives a heading, so that links into the guide work in both places."""
    plain = re.sub(r"<[^>]+>", "", text)
    return re.sub(r"[^\w\- ]", "", plain.lower()).replace(" ", "-")


def mark_chinese(markup):
    """Marks the Chinese runs of the text between tags, never inside a tag."""
    return "".join(part if TAG.fullmatch(part) else
                   CHINESE.sub(lambda m: '<span lang="zh-Hans">%s</span>' % m[0], part)
                   for part in TAG.split(markup))


def inline(text):
    """Escapes a line and renders its code spans, bold text, links and Chinese runs."""
    return mark_chinese(inline_plain(text))


def inline_plain(text):
    out = []
    for k, part in enumerate(text.split("`")):
        if k % 2:
            out.append("<code>" + html.escape(part) + "</code>")
            continue
        part = html.escape(part, quote=False)
        part = BOLD.sub(r"<strong>\1</strong>", part)
        part = LINK.sub(lambda m: '<a href="%s">%s</a>' % (html.escape(m[2]), m[1]), part)
        out.append(part)
    return "".join(out)


def picture(alt, target, base):
    path = base / target
    data = path.read_bytes() if path.is_file() else b""
    if not data:
        raise GuideError("the guide shows %s, which is missing or empty" % target)
    mime = MIME.get(path.suffix.lower())
    if not mime:
        raise GuideError("the guide shows %s, a kind of picture it cannot embed" % target)
    encoded = base64.b64encode(data).decode("ascii")
    return '<img alt="%s" src="data:%s;base64,%s">' % (html.escape(alt), mime, encoded)


def table(rows):
    cells = [[c.strip() for c in row.strip().strip("|").split("|")] for row in rows]
    head, body = cells[0], cells[2:]
    out = ["<table>", "<tr>" + "".join("<th>%s</th>" % inline(c) for c in head) + "</tr>"]
    for row in body:
        out.append("<tr>" + "".join("<td>%s</td>" % inline(c) for c in row) + "</tr>")
    out.append("</table>")
    return "\n".join(out)


def list_block(lines, start, marker, tag):
    """A list from lines[start]; returns its HTML and the index after it."""
    items = []
    i = start
    while i < len(lines):
        m = marker.match(lines[i])
        if m:
            items.append([m.groups()[-1]])
        elif lines[i].startswith("  ") and lines[i].strip():
            items[-1].append(lines[i].strip())
        else:
            break
        i += 1
    body = "".join("<li>%s</li>\n" % inline(" ".join(item)) for item in items)
    # A list the README breaks with a code block goes on with its own numbers.
    first = marker.match(lines[start])
    number = first[1] if tag == "ol" else "1"
    opening = tag if number == "1" else '%s start="%s"' % (tag, number)
    return "<%s>\n%s</%s>" % (opening, body, tag), i


def convert(markdown, base):
    lines = markdown.splitlines()
    out = []
    title = None
    i = 0
    while i < len(lines):
        line = lines[i]
        if not line.strip():
            i += 1
            continue
        heading = HEADING.match(line)
        shown = PICTURE.match(line.strip())
        if heading:
            level, text = len(heading[1]), inline(heading[2])
            title = title or heading[2]
            out.append('<h%d id="%s">%s</h%d>' % (level, slug(text), text, level))
            i += 1
        elif shown:
            out.append(picture(shown[1], shown[2], base))
            i += 1
        elif line.startswith("|"):
            end = i
            while end < len(lines) and lines[end].startswith("|"):
                end += 1
            out.append(table(lines[i:end]))
            i = end
        elif UNORDERED.match(line):
            block, i = list_block(lines, i, UNORDERED, "ul")
            out.append(block)
        elif ORDERED.match(line):
            block, i = list_block(lines, i, ORDERED, "ol")
            out.append(block)
        elif line.startswith("    "):
            end = i
            while end < len(lines) and (lines[end].startswith("    ") or not lines[end].strip()):
                end += 1
            code = textwrap.dedent("\n".join(lines[i:end])).strip("\n")
            out.append("<pre><code>%s</code></pre>" % html.escape(code))
            i = end
        else:
            end = i
            while end < len(lines) and lines[end].strip() and not (
                HEADING.match(lines[end]) or UNORDERED.match(lines[end]) or
                ORDERED.match(lines[end]) or lines[end].startswith("|")):
                end += 1
            out.append("<p>%s</p>" % inline(" ".join(l.strip() for l in lines[i:end])))
            i = end
    return title or "Guide", "\n".join(out)


def guide_part(readme):
    if readme.count(BEGIN) != 1 or readme.count(END) != 1:
        raise GuideError("the README must mark its guide once with %s and %s" % (BEGIN, END))
    return readme.split(BEGIN, 1)[1].split(END, 1)[0]


def main(argv):
    if len(argv) != 3:
        print(__doc__.strip().splitlines()[2].strip(), file=sys.stderr)
        return 2
    source = pathlib.Path(argv[1])
    try:
        title, body = convert(guide_part(source.read_text(encoding="utf-8")), source.parent)
    except GuideError as error:
        print("guide_html.py: %s" % error, file=sys.stderr)
        return 1
    page = ('<!DOCTYPE html>\n<html lang="en">\n<head>\n<meta charset="utf-8">\n'
            "<title>%s</title>\n<style>%s</style>\n</head>\n<body>\n%s\n</body>\n</html>\n"
            % (html.escape(title), STYLE, body))
    pathlib.Path(argv[2]).write_text(page, encoding="utf-8")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
