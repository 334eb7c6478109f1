#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Builds the RTF test corpus of tests/data/rtf/ from texts we wrote.

    python3 tests/data/rtf/make-corpus.py            sources, RTF files and expected files
    python3 tests/data/rtf/make-corpus.py --sources  only the sources (no tools needed)

Needs Debian 12's libreoffice-writer-nogui (7.4), pandoc (2.17) and abiword (3.0):
    apt-get install --no-install-recommends libreoffice-writer-nogui pandoc abiword

Steps:
 1. The sources under sources/ are written from the descriptions below:
    racconto.fodt and racconto.html (a short story with coloured words, line
    breaks, tabs, an empty paragraph, typographic characters), evidenziato.fodt
    (verses with background colours) and grande.fodt (80 paragraphs from a
    seeded generator, for timing).
 2. Each RTF file is written by the tool named in its file name, the way a
    teacher's editor writes it (see WRITERS).
 3. The expected files come from LibreOffice reading each RTF file back:
    NAME.txt (one line per paragraph, line breaks as new lines, TAB and NBSP
    kept) and NAME.runs.tsv (one line per run: paragraph, text with \\t \\n
    \\u00a0 escaped, text colour or "auto", background colour or "none", bold,
    italic, underline, size in points, font, alignment).

The hand-written files (the mend-*.rtf family) imitate what Word and WordPad
write; their .txt and .runs.tsv are written by hand and this script leaves
them alone.
"""
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
from html import escape

HERE = os.path.dirname(os.path.abspath(__file__))
SRC = os.path.join(HERE, "sources")

# ---------------------------------------------------------------------------
# Source descriptions: paragraphs of runs. A run is (text, attributes);
# attributes: color, bg, b, i, u, size, font.

SERIF = "Times New Roman"
SANS = "Arial"
MONO = "Courier New"

RACCONTO = [
    ({"align": "center", "font": SANS, "size": 16}, [
        ("Il mercato di Borgo Fiorito — una mattina d'autunno", {"b": True}),
    ]),
    ({"align": "justify"}, [
        ("«Chi porta le ", {}), ("mele", {"color": "#ff0000"}),
        (" stamattina?» domandò ", {}), ("Tommaso", {"b": True}),
        (" alla zia. Là, dietro il ", {}), ("bancone", {"color": "#0000ff"}),
        (", c'era un cesto di ", {}), ("limoni", {"color": "#008000"}),
        (" e un profumo di pane ", {}), ("più fresco", {"u": True}),
        (" del solito: «C'è ancora ", {}), ("nebbia", {"color": "#ffffff"}),
        ("», rispose ", {}), ("la fornaia", {"i": True}),
        (", e ", {}), ("rise", {"color": "#800080"}), (".", {}),
    ]),
    ({"align": "justify"}, [
        ("Prima riga della filastrocca,\nseconda riga: là c'è già un perché.\n", {}),
        ("Quarta riga", {"b": True, "color": "#ff0000"}),
        (" in grassetto rosso.", {}),
    ]),
    ({"align": "justify"}, [("Banco:\tFrutta\tPrezzo:\t3", {})]),
    ({"align": "justify"}, []),
    ({"align": "justify"}, [
        ("L’orto dell’anno scorso, all’alba, c’è più verde… ", {}),
        ("Però", {"size": 14}),
        (" costa 2 € – n.\u00a07 – andata → ritorno ≈ 4 km; ", {}),
        ("nero deciso", {"color": "#000000"}), (".", {}),
    ]),
    ({"align": "justify", "font": MONO, "size": 10}, [
        ("Fine — la spesa è fatta. Però domani si torna: ecco l'ultima parola.", {}),
    ]),
]

EVIDENZIATO = [
    ({"align": "center", "font": SANS, "size": 14}, [("Il faro (Testo proprio)", {"b": True})]),
    ({"align": "start"}, [
        ("Sulla scogliera ", {}), ("il faro veglia", {"bg": "#ffff00"}),
        (" e conta le onde,", {}),
    ]),
    ({"align": "start"}, [
        ("gira la luce ", {}), ("come un braccio", {"bg": "#00ffff"}),
        (" che chiama i pescatori;", {}),
    ]),
    ({"align": "start"}, [
        ("la notte è ", {}), ("un mare di velluto", {"bg": "#00ff00", "color": "#0000ff"}),
        (", il vento ", {}), ("sussurra", {"bg": "#ff00ff", "i": True}), (".", {}),
    ]),
    ({"align": "start"}, [
        ("E all'alba, ", {}), ("stanco", {"bg": "#c0c0c0"}), (", il faro dorme.", {}),
    ]),
]


def grande():
    """80 justified paragraphs of plain Italian phrases with coloured and bold words."""
    rng = random.Random(20260314)
    soggetti = ["Il pescatore", "La maestra", "Un ragazzo", "La nonna", "Il postino", "Una bambina",
                "Il fornaio", "La vicina", "Il capotreno", "Una ciclista"]
    verbi = ["attraversa", "osserva", "dipinge", "racconta", "cerca", "raggiunge", "ascolta", "saluta"]
    oggetti = ["la piazza del paese", "il ponte di legno", "una barca colorata", "la collina dei castagni",
               "il vecchio mulino", "la stazione vuota", "un campo di girasoli", "la biblioteca comunale"]
    chiuse = ["prima che faccia buio", "con molta calma", "sotto una pioggia leggera", "già all'alba",
              "insieme agli amici", "perché così è più bello", "senza dire una parola", "e poi torna a casa"]
    colori = ["#ff0000", "#0000ff", "#008000", "#800080", "#ff8000", "#808080", "#ffffff", "#000000"]
    paras = []
    for _ in range(80):
        runs = []
        for _ in range(rng.randint(3, 6)):
            frase = f"{rng.choice(soggetti)} {rng.choice(verbi)} {rng.choice(oggetti)} {rng.choice(chiuse)}. "
            words = frase.split(" ")
            plain = []
            for w in words:
                roll = rng.random()
                if w and roll < 0.12:
                    if plain:
                        runs.append((" ".join(plain) + " ", {}))
                        plain = []
                    runs.append((w, {"color": rng.choice(colori)}))
                    plain = [""]
                elif w and roll < 0.15:
                    if plain:
                        runs.append((" ".join(plain) + " ", {}))
                        plain = []
                    runs.append((w, {"b": True}))
                    plain = [""]
                else:
                    plain.append(w)
            if plain:
                runs.append((" ".join(plain), {}))
        # Merge neighbours with the same attributes, drop the final space.
        merged = []
        for t, a in runs:
            if merged and merged[-1][1] == a:
                merged[-1] = (merged[-1][0] + t, a)
            elif t:
                merged.append((t, a))
        t, a = merged[-1]
        merged[-1] = (t.rstrip(" "), a)
        paras.append(({"align": "justify"}, merged))
    return paras


# ---------------------------------------------------------------------------
# Writing the sources

def fodt(paras):
    fonts = {SERIF, SANS, MONO}
    text_styles = {}
    para_styles = {}

    def tstyle(a):
        key = tuple(sorted(a.items()))
        if key not in text_styles:
            text_styles[key] = f"T{len(text_styles) + 1}"
        return text_styles[key]

    def pstyle(p):
        key = tuple(sorted(p.items()))
        if key not in para_styles:
            para_styles[key] = f"P{len(para_styles) + 1}"
        return para_styles[key]

    def text_props(a):
        out = []
        if "font" in a:
            out.append(f'style:font-name="{a["font"]}"')
        if "size" in a:
            out.append(f'fo:font-size="{a["size"]}pt"')
        if a.get("b"):
            out.append('fo:font-weight="bold"')
        if a.get("i"):
            out.append('fo:font-style="italic"')
        if a.get("u"):
            out.append('style:text-underline-style="solid" style:text-underline-width="auto" '
                       'style:text-underline-color="font-color"')
        if "color" in a:
            out.append(f'fo:color="{a["color"]}"')
        if "bg" in a:
            out.append(f'fo:background-color="{a["bg"]}"')
        return " ".join(out)

    def inline(text):
        out = []
        for line_no, line in enumerate(text.split("\n")):
            if line_no:
                out.append("<text:line-break/>")
            for tab_no, piece in enumerate(line.split("\t")):
                if tab_no:
                    out.append("<text:tab/>")
                # Runs of spaces are kept by <text:s/>.
                piece = escape(piece, quote=False)
                piece = re.sub(r"  +", lambda m: " " + f'<text:s text:c="{len(m.group(0)) - 1}"/>', piece)
                out.append(piece)
        return "".join(out)

    body = []
    for p, runs in paras:
        name = pstyle(p)
        parts = []
        for t, a in runs:
            parts.append(f'<text:span text:style-name="{tstyle(a)}">{inline(t)}</text:span>' if a else inline(t))
        body.append(f'<text:p text:style-name="{name}">{"".join(parts)}</text:p>')

    auto = []
    for key, name in para_styles.items():
        p = dict(key)
        align = p.get("align", "start")
        tp = text_props({k: v for k, v in p.items() if k in ("font", "size")})
        auto.append(f'<style:style style:name="{name}" style:family="paragraph" style:parent-style-name="Standard">'
                    f'<style:paragraph-properties fo:text-align="{align}"/>'
                    + (f'<style:text-properties {tp}/>' if tp else "") + "</style:style>")
    for key, name in text_styles.items():
        auto.append(f'<style:style style:name="{name}" style:family="text">'
                    f'<style:text-properties {text_props(dict(key))}/></style:style>')

    decls = "".join(f'<style:font-face style:name="{f}" svg:font-family="&apos;{f}&apos;"/>' for f in sorted(fonts))
    return f"""<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"
 xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"
 office:version="1.3" office:mimetype="application/vnd.oasis.opendocument.text">
<office:font-face-decls>{decls}</office:font-face-decls>
<office:styles>
<style:default-style style:family="paragraph"><style:text-properties style:font-name="{SERIF}" fo:font-size="12pt" fo:language="it" fo:country="IT"/></style:default-style>
<style:style style:name="Standard" style:family="paragraph" style:class="text"/>
</office:styles>
<office:automatic-styles>
{chr(10).join(auto)}
</office:automatic-styles>
<office:body><office:text>
{chr(10).join(body)}
</office:text></office:body>
</office:document>
"""


def html(paras, title):
    def css(a):
        out = []
        if "color" in a:
            out.append(f"color:{a['color']}")
        if "bg" in a:
            out.append(f"background-color:{a['bg']}")
        return ";".join(out)

    body = []
    for p, runs in paras:
        parts = []
        for t, a in runs:
            s = escape(t, quote=False).replace("\n", "<br>").replace("\u00a0", "&nbsp;")
            if a.get("b"):
                s = f"<b>{s}</b>"
            if a.get("i"):
                s = f"<i>{s}</i>"
            if a.get("u"):
                s = f"<u>{s}</u>"
            if css(a):
                s = f'<span style="{css(a)}">{s}</span>'
            parts.append(s)
        align = {"start": "left", "center": "center", "justify": "justify"}[p.get("align", "start")]
        if p.get("font") == SANS:
            body.append(f'<h1 style="text-align:{align}">{"".join(parts)}</h1>')
        elif parts:
            body.append(f'<p style="text-align:{align}">{"".join(parts)}</p>')
    return (f'<!DOCTYPE html>\n<html lang="it">\n<head><meta charset="utf-8"><title>{escape(title)}</title></head>\n'
            f'<body>\n{chr(10).join(body)}\n</body>\n</html>\n')


def write(path, text):
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)


def write_sources():
    os.makedirs(SRC, exist_ok=True)
    write(os.path.join(SRC, "racconto.fodt"), fodt(RACCONTO))
    # The tab line and the empty paragraph have no place in a web page.
    write(os.path.join(SRC, "racconto.html"),
          html([p for p in RACCONTO if p[1] and "\t" not in p[1][0][0]], "Borgo Fiorito"))
    write(os.path.join(SRC, "evidenziato.fodt"), fodt(EVIDENZIATO))
    write(os.path.join(SRC, "grande.fodt"), fodt(grande()))


# ---------------------------------------------------------------------------
# Reading LibreOffice's flat XML back into text and runs

NS = {
    "office": "urn:oasis:names:tc:opendocument:xmlns:office:1.0",
    "style": "urn:oasis:names:tc:opendocument:xmlns:style:1.0",
    "text": "urn:oasis:names:tc:opendocument:xmlns:text:1.0",
    "fo": "urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0",
    "svg": "urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0",
}


def q(prefix, name):
    return "{%s}%s" % (NS[prefix], name)


class Styles:
    def __init__(self, root):
        self.fonts = {}
        for ff in root.iter(q("style", "font-face")):
            fam = ff.get(q("svg", "font-family"), ff.get(q("style", "name")))
            self.fonts[ff.get(q("style", "name"))] = fam.strip("'")
        self.styles = {}
        self.defaults = {}
        for st in root.iter(q("style", "default-style")):
            self.defaults[st.get(q("style", "family"))] = st
        for st in root.iter(q("style", "style")):
            self.styles[(st.get(q("style", "family")), st.get(q("style", "name")))] = st

    def props(self, el):
        """Text and paragraph properties one style element sets."""
        out = {}
        tp = el.find(q("style", "text-properties"))
        if tp is not None:
            if tp.get(q("style", "font-name")):
                out["font"] = self.fonts.get(tp.get(q("style", "font-name")), tp.get(q("style", "font-name")))
            if tp.get(q("fo", "font-size")) and tp.get(q("fo", "font-size")).endswith("pt"):
                out["size"] = float(tp.get(q("fo", "font-size"))[:-2])
            if tp.get(q("fo", "font-weight")):
                out["b"] = tp.get(q("fo", "font-weight")) not in ("normal", "400")
            if tp.get(q("fo", "font-style")):
                out["i"] = tp.get(q("fo", "font-style")) != "normal"
            if tp.get(q("style", "text-underline-style")):
                out["u"] = tp.get(q("style", "text-underline-style")) != "none"
            if tp.get(q("style", "use-window-font-color")) == "true":
                out["color"] = "auto"
            elif tp.get(q("fo", "color")):
                out["color"] = tp.get(q("fo", "color")).lower()
            if tp.get(q("fo", "background-color")):
                bg = tp.get(q("fo", "background-color")).lower()
                out["bg"] = "none" if bg == "transparent" else bg
        pp = el.find(q("style", "paragraph-properties"))
        if pp is not None and pp.get(q("fo", "text-align")):
            out["align"] = {"left": "start", "right": "end"}.get(pp.get(q("fo", "text-align")),
                                                                  pp.get(q("fo", "text-align")))
        return out

    def chain(self, family, name, depth=0):
        if not name or depth > 20:
            d = self.defaults.get(family)
            return self.props(d) if d is not None else {}
        el = self.styles.get((family, name))
        if el is None:
            return self.chain(family, None, depth + 1)
        out = self.chain(family, el.get(q("style", "parent-style-name")), depth + 1)
        out.update(self.props(el))
        return out


BASE = {"color": "auto", "bg": "none", "b": False, "i": False, "u": False, "size": 12.0, "font": "",
        "align": "start"}


def read_fodt(path):
    root = ET.parse(path).getroot()
    styles = Styles(root)
    text_root = root.find(q("office", "body")).find(q("office", "text"))
    paras = []  # list of (align, [(text, attrs)])

    def walk(el, attrs, runs, para_attrs):
        def add(t):
            if not t:
                return
            a = dict(attrs)
            if runs and runs[-1][1] == a:
                runs[-1] = (runs[-1][0] + t, a)
            else:
                runs.append((t, a))
        add(el.text)
        for child in el:
            tag = child.tag
            if tag == q("text", "span"):
                a = dict(attrs)
                a.update(styles.chain("text", child.get(q("text", "style-name"))))
                walk(child, a, runs, para_attrs)
            elif tag == q("text", "s"):
                add(" " * int(child.get(q("text", "c"), "1")))
            elif tag == q("text", "tab"):
                add("\t")
            elif tag == q("text", "line-break"):
                add("\n")
            elif tag in (q("text", "a"), q("text", "bookmark-ref")):
                walk(child, attrs, runs, para_attrs)
            # marks (bookmarks, change boundaries, page breaks) carry no text
            add(child.tail)

    def block(el):
        if el.tag in (q("text", "p"), q("text", "h")):
            a = dict(BASE)
            a.update(styles.chain("paragraph", el.get(q("text", "style-name"))))
            runs = []
            walk(el, a, runs, a)
            paras.append((a["align"], runs))
        elif el.tag in (q("text", "list"), q("text", "list-item"), q("text", "section"), q("table", "table") if "table" in NS else None):
            for c in el:
                block(c)
        elif el.tag in (q("text", "sequence-decls"), q("text", "tracked-changes"),
                        q("office", "forms"), q("text", "variable-decls")):
            pass
        else:
            for c in el:
                block(c)

    for el in text_root:
        block(el)
    return paras


def expected_files(fodt_path, name):
    paras = read_fodt(fodt_path)
    lines = []
    rows = ["para\ttext\tcolour\tbackground\tbold\titalic\tunderline\tsize_pt\tfont\talign"]

    def esc(t):
        return t.replace("\t", "\\t").replace("\n", "\\n").replace("\u00a0", "\\u00a0")

    for n, (align, runs) in enumerate(paras, 1):
        lines.append("".join(t for t, _ in runs))
        if not runs:
            runs = [("", dict(BASE))]
        for t, a in runs:
            size = ("%g" % a["size"])
            rows.append("\t".join([str(n), esc(t), a["color"], a["bg"], str(int(a["b"])), str(int(a["i"])),
                                   str(int(a["u"])), size, a["font"], align]))
    write(os.path.join(HERE, name + ".txt"), "\n".join(lines) + "\n")
    write(os.path.join(HERE, name + ".runs.tsv"), "\n".join(rows) + "\n")


# ---------------------------------------------------------------------------
# Writers

def run(cmd, **kw):
    print("  $", " ".join(cmd))
    subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL, **kw)


def soffice(tmp, profile, target, src, outdir, infilter=None):
    cmd = ["soffice", f"-env:UserInstallation=file://{profile}", "--headless"]
    if infilter:
        cmd.append(f"--infilter={infilter}")
    cmd += ["--convert-to", target, "--outdir", outdir, src]
    run(cmd)


def build():
    write_sources()
    tmp = tempfile.mkdtemp(prefix="morvello-corpus-")
    profile = os.path.join(tmp, "profile")
    try:
        def lo_rtf(src, name, infilter=None):
            soffice(tmp, profile, "rtf", src, tmp, infilter)
            shutil.copy(os.path.join(tmp, os.path.splitext(os.path.basename(src))[0] + ".rtf"),
                        os.path.join(HERE, name + ".rtf"))

        # LibreOffice, from its own format and from a web page.
        lo_rtf(os.path.join(SRC, "racconto.fodt"), "it-libreoffice")
        html_copy = os.path.join(tmp, "web", "racconto.html")
        os.makedirs(os.path.dirname(html_copy))
        shutil.copy(os.path.join(SRC, "racconto.html"), html_copy)
        soffice(tmp, profile, "rtf", html_copy, os.path.join(tmp, "web"), "HTML (StarWriter)")
        shutil.copy(os.path.join(tmp, "web", "racconto.rtf"), os.path.join(HERE, "it-libreoffice-html.rtf"))
        lo_rtf(os.path.join(SRC, "evidenziato.fodt"), "highlight-libreoffice")
        lo_rtf(os.path.join(SRC, "grande.fodt"), "large-colours-libreoffice")

        # A .docx, as a teacher's word processor would leave it, for pandoc and AbiWord.
        for stem in ("racconto", "evidenziato"):
            soffice(tmp, profile, "docx:MS Word 2007 XML", os.path.join(SRC, stem + ".fodt"), tmp)
        docx = os.path.join(tmp, "racconto.docx")
        run(["pandoc", "-s", "-f", "html", "-t", "rtf", "-o", os.path.join(HERE, "it-pandoc-html.rtf"),
             os.path.join(SRC, "racconto.html")])
        run(["pandoc", "-s", "-f", "docx", "-t", "rtf", "-o", os.path.join(HERE, "it-pandoc-docx.rtf"), docx])
        run(["abiword", "--to=rtf", "-o", os.path.join(HERE, "it-abiword.rtf"), docx])
        run(["abiword", "--to=rtf", "-o", os.path.join(HERE, "highlight-abiword.rtf"),
             os.path.join(tmp, "evidenziato.docx")])

        # What LibreOffice reads back from each file is the expectation.
        for name in ("it-libreoffice", "it-libreoffice-html", "it-pandoc-html", "it-pandoc-docx",
                     "it-abiword", "highlight-libreoffice", "highlight-abiword", "large-colours-libreoffice"):
            back = os.path.join(tmp, "back")
            os.makedirs(back, exist_ok=True)
            copy = os.path.join(back, name + ".rtf")
            shutil.copy(os.path.join(HERE, name + ".rtf"), copy)
            soffice(tmp, profile, "fodt", copy, back)
            expected_files(os.path.join(back, name + ".fodt"), name)
    finally:
        shutil.rmtree(tmp, ignore_errors=True)


if __name__ == "__main__":
    if "--sources" in sys.argv[1:]:
        write_sources()
    else:
        build()
