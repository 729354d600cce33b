#!/usr/bin/env python3
"""Checks functions.txt: row order, counts, argument words and the rows whose
overloads the host and the rest of the component rely on.

Usage: check_functions.py [path to functions.txt]
Exit status 0 when every check passes, 1 otherwise (each failure on stderr).
"""
import os
import re
import sys
import unicodedata

N_ROWS = 423
RESERVED = {98, 401, 402, 403, 404}
N_NULL_ROWS = 213
N_BUILT_ROWS = 205
N_ENTRY_POINTS = 414
SYNONYMS = {340: 255, 351: 344, 352: 341}
SYNONYM_BIT = 0x800000

FLAGS_IN_USE = {
    0x10000, 0x10003, 0x10018, 0x10200, 0x10202, 0x10218, 0x10400, 0x10418,
    0x10600, 0x10618, 0x20000, 0x20618, 0x28000, 0x28001, 0x28018, 0x28019,
    0x2801C, 0x28200, 0x28201, 0x28202, 0x28218, 0x2821B, 0x28400, 0x28418,
    0x2841B, 0x2841C, 0x28600, 0x28601, 0x28603, 0x28618, 0x28619, 0x2861B,
    0x2C498, 0x30000, 0x30400, 0x30600, 0x38018, 0x38200, 0x38218, 0x38600,
    0x38618, 0x828618, 0x82C699,
}
AREAS = {"component", "core", "datetime", "numeric", "files", "codec",
         "memzone", "diff", "system", "misc", "projectfile", "platform"}
KINDS = {"int", "i8", "real", "bool", "text", "file", "uni", "bin", "cur",
         "dur", "datetime", "any", "var", "proc", "array", "obj", "addr"}
RESULTS = {"", "01", "08", "09", "0A", "0C", "0E", "0F", "10", "12", "13",
           "17", "18", "19", "1A", "1B", "1C", "1F", "40", "4B", "6F"}
# Only these are built now; everything else that exists here is '.'.
BUILT_NOW = {"EstPair", "EstImpair", "ZigouigouiARoulette"}
# Argument words with a variable tail, and the overloads allowed to use them.
TAIL_WORDS = {
    129: {("Max", 0), ("Max", 1), ("Min", 0), ("Min", 1)},
    130: {("fLitLigne", 1), ("VérifieExpressionRégulière", 0), ("USBRecherche", 0)},
}


class Checker:
    def __init__(self):
        self.errors = []

    def fail(self, msg):
        self.errors.append(msg)

    def expect(self, cond, msg):
        if not cond:
            self.fail(msg)
        return cond


def ascii_name(s):
    return "".join(c for c in unicodedata.normalize("NFD", s)
                   if unicodedata.category(c) != "Mn")


def parse(path, ck):
    rows = []
    with open(path, encoding="utf-8") as f:
        for no, raw in enumerate(f, 1):
            line = raw.rstrip("\n")
            if not line.strip() or line.lstrip().startswith("#"):
                continue
            where = f"line {no}"
            kind = line.split(None, 1)[0]
            if kind == "F":
                head, bar, names = line.partition("|")
                parts = head.split(None, 5)
                if not bar or len(parts) < 5:
                    ck.fail(f"{where}: expected 'F <row> <flags> <repeats> <area> <French>|<English>'")
                    continue
                try:
                    row, flags = int(parts[1]), int(parts[2], 16)
                    repeats = None if parts[3] == "-" else int(parts[3])
                except ValueError:
                    ck.fail(f"{where}: row, flags or repeats is not a number")
                    continue
                rows.append({"row": row, "flags": flags, "repeats": repeats,
                             "area": parts[4],
                             "fr": parts[5].strip() if len(parts) > 5 else "",
                             "en": names.strip(), "syn": [], "where": where})
            elif kind == "S":
                parts = line.split()
                if not rows:
                    ck.fail(f"{where}: syntax line before any row")
                    continue
                if len(parts) not in (5, 6):
                    ck.fail(f"{where}: expected 'S <result> <argword> <entry> <args> [<function>]'")
                    continue
                _, result, argword, entry, args = parts[:5]
                try:
                    argword = int(argword)
                except ValueError:
                    ck.fail(f"{where}: argument word {argword!r} is not decimal")
                    continue
                rows[-1]["syn"].append({
                    "result": "" if result == "-" else result.upper(),
                    "argword": argword, "entry": entry,
                    "args": [] if args == "-" else args.split(","), "where": where,
                    "function": parts[5].split("(")[0] if len(parts) == 6 else None})
            else:
                ck.fail(f"{where}: unknown line kind {kind!r}")
    return rows


def check_syntax(r, n, s, ck):
    where = f"{s['where']} ({r['fr']} overload {n})"
    ck.expect(s["entry"] in ("+", ".", "n"), f"{where}: entry must be + . or n")
    ck.expect(s["result"] in RESULTS, f"{where}: unknown result type {s['result']!r}")
    word = s["argword"]
    declared = word & 0x7F
    ck.expect(0 <= word <= 10 or word in TAIL_WORDS,
              f"{where}: argument word {word} is not in use")
    if word in TAIL_WORDS:
        ck.expect((r["fr"], n) in TAIL_WORDS[word],
                  f"{where}: argument word {word} is reserved to other overloads")
    fixed = [a for a in s["args"] if not a.startswith("...")]
    tail = [a for a in s["args"] if a.startswith("...")]
    ck.expect(len(fixed) == declared,
              f"{where}: {len(fixed)} argument kinds for argument word {word}")
    if word & 0x80:
        ck.expect(len(tail) == 1 and s["args"][-1] == tail[0],
                  f"{where}: a variable tail must end the list as one '...KIND'")
    else:
        ck.expect(not tail, f"{where}: '...' without the variable-tail bit")
    for a in s["args"]:
        kind = a[3:] if a.startswith("...") else a
        if kind.endswith("?"):
            kind = kind[:-1]
        ck.expect(kind in KINDS, f"{where}: unknown argument kind {a!r}")


SRC_DIR = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
_headers = {}


def check_home(r, n, s, ck):
    """A row's function lives in its area: declared in src/<area>/functions.h."""
    where = f"{s['where']} ({r['fr']} overload {n})"
    path = os.path.join(SRC_DIR, r["area"], "functions.h")
    if path not in _headers:
        try:
            with open(path, encoding="utf-8") as f:
                _headers[path] = f.read()
        except OSError:
            _headers[path] = None
    text = _headers[path]
    if not ck.expect(text is not None, f"{where}: no src/{r['area']}/functions.h for {s['function']}"):
        return
    ck.expect(re.search(r"\b" + re.escape(s["function"]) + r"\(", text) is not None,
              f"{where}: {s['function']} is not declared in src/{r['area']}/functions.h")


def check_rows(rows, ck):
    if not ck.expect([r["row"] for r in rows] == list(range(N_ROWS)),
                     f"rows must be 0..{N_ROWS - 1} in order "
                     f"(found {len(rows)} rows)"):
        return False
    null_rows = built_rows = entry_points = 0
    entry_names = set()
    for r in rows:
        i, where = r["row"], f"{r['where']} (row {r['row']})"
        ck.expect(r["flags"] in FLAGS_IN_USE or (i in RESERVED and r["flags"] == 0),
                  f"{where}: flags 0x{r['flags']:X} not among the values in use")
        try:
            (r["fr"] + r["en"]).encode("latin-1")
        except UnicodeEncodeError:
            ck.fail(f"{where}: a name is not Latin-1")
        if i in RESERVED:
            ck.expect(not r["fr"] and not r["en"] and not r["syn"] and r["flags"] == 0
                      and r["area"] == "-" and r["repeats"] is None,
                      f"{where}: a reserved row is 'F {i} 0x0 - - |' with no syntax")
            continue
        ck.expect(r["fr"] and r["en"], f"{where}: both names are required")
        if not ck.expect(r["syn"], f"{where}: no syntax"):
            continue
        for n, s in enumerate(r["syn"]):
            check_syntax(r, n, s, ck)
            if s["function"] is not None:
                check_home(r, n, s, ck)
        marks = {s["entry"] for s in r["syn"]}
        if marks == {"n"}:
            null_rows += 1
            ck.expect(r["area"] == "-", f"{where}: a row without entry points has area '-'")
        elif "n" in marks:
            ck.fail(f"{where}: null and non-null entry points mixed in one row")
        else:
            built_rows += 1
            entry_points += len(r["syn"])
            ck.expect(r["area"] in AREAS, f"{where}: unknown area {r['area']!r}")
            # Rows are built a family at a time; the first functions and the
            # forwarders are always there.
            if r["fr"] in BUILT_NOW or r["fr"].startswith("_zip"):
                ck.expect(marks == {"+"}, f"{where}: entries must all be '+' for {r['fr']}")
            for n in range(len(r["syn"])):
                name = f"ZNL_{ascii_name(r['fr'])}_{n}"
                ck.expect(name not in entry_names, f"{where}: entry point {name} twice")
                entry_names.add(name)
        # Second names carry the synonym bit and repeat an earlier row.
        if i in SYNONYMS:
            target = rows[SYNONYMS[i]]
            ck.expect(r["repeats"] == SYNONYMS[i],
                      f"{where}: must repeat row {SYNONYMS[i]}")
            ck.expect(r["flags"] & SYNONYM_BIT, f"{where}: synonym bit 0x800000 missing")
            ck.expect([(s["result"], s["argword"], s["entry"], s["args"]) for s in r["syn"]]
                      == [(s["result"], s["argword"], s["entry"], s["args"]) for s in target["syn"]],
                      f"{where}: syntaxes differ from those of row {SYNONYMS[i]}")
        else:
            ck.expect(r["repeats"] is None, f"{where}: only rows 340, 351, 352 repeat a row")
            ck.expect(not r["flags"] & SYNONYM_BIT, f"{where}: synonym bit on a plain row")
    ck.expect(null_rows == N_NULL_ROWS, f"{null_rows} rows with null entry points, want {N_NULL_ROWS}")
    ck.expect(built_rows == N_BUILT_ROWS, f"{built_rows} rows with entry points, want {N_BUILT_ROWS}")
    ck.expect(entry_points == N_ENTRY_POINTS,
              f"{entry_points} non-null overloads, want {N_ENTRY_POINTS}")
    return True


def shape(r):
    return [(s["result"], s["argword"], ",".join(s["args"])) for s in r["syn"]]


def check_telling_rows(rows, ck):
    by_name = {}
    for r in rows:
        by_name.setdefault(r["fr"], r)

    def row(fr):
        r = by_name.get(fr)
        ck.expect(r is not None, f"row {fr} missing")
        return r

    def overloads(fr, want):
        r = row(fr)
        if r is None:
            return
        got = [(res, word, len([a for a in args.split(",") if a and not a.startswith("...")]))
               for res, word, args in shape(r)]
        ck.expect(got == want, f"{fr}: overloads {got}, want {want} (result, argword, count)")

    ck.expect((rows[0]["fr"], rows[0]["en"]) == ("DateSys", "DateSys"), "row 0 is DateSys|DateSys")
    ck.expect((rows[30]["fr"], rows[30]["en"]) == ("MemTri", "MemSort_55"), "row 30 is MemTri|MemSort_55")
    ck.expect((rows[243]["fr"], rows[243]["en"]) == ("MemTrie", "MemSort"), "row 243 is MemTrie|MemSort")
    overloads("DateSys", [("13", 0, 0), ("", 1, 1)])
    for fr in ("Min", "Max"):
        overloads(fr, [("13", 129, 1), ("0C", 129, 1)])
    overloads("Hasard", [("1F", 0, 0), ("1F", 1, 1), ("1F", 2, 2)])
    overloads("MemRécupère", [("1F", 2, 2), ("1F", 1, 1)])
    overloads("fLitLigne", [("4B", 1, 1), ("01", 130, 2)])
    overloads("ZigouigouiARoulette", [("08", 1, 1)])
    for fr in ("EstPair", "EstImpair"):
        r = row(fr)
        if r is not None:
            ck.expect(shape(r) == [("01", 1, "int")], f"{fr}: one overload 01 with one int")
    for fr, n, res in (("fTaille", 2, "09"), ("Compresse", 2, "1C"),
                       ("ChaîneVersDurée", 2, "1B"), ("eVersEuro", 4, "0A")):
        r = row(fr)
        if r is not None:
            ck.expect(len(r["syn"]) == n and all(s["result"] == res for s in r["syn"]),
                      f"{fr}: want {n} overloads of result {res}")
    r = row("VérifieExpressionRégulière")
    if r is not None:
        ck.expect([s["argword"] for s in r["syn"]] == [130], "VérifieExpressionRégulière: argument word 130")
    # Attribute words the host is known to expect.
    for r in rows:
        fr, i = r["fr"], r["row"]
        if i < 15 or fr in ("EstPair", "EstImpair", "Min", "Max"):
            ck.expect(r["flags"] == 0x10000, f"{fr}: flags 0x10000")
        elif fr == "MemTri":
            ck.expect(r["flags"] == 0x28202, f"{fr}: flags 0x28202")
        elif fr.startswith("Mem"):
            ck.expect(r["flags"] == 0x28200, f"{fr}: flags 0x28200")
        elif fr.startswith("_zip") or fr == "ZigouigouiARoulette":
            ck.expect(r["flags"] == 0x28001, f"{fr}: flags 0x28001")
        elif fr in ("ServiceModifie", "ServiceInfo"):
            ck.expect(r["flags"] == 0x38600, f"{fr}: flags 0x38600")
        elif fr.startswith("Service"):
            ck.expect(r["flags"] == 0x38200, f"{fr}: flags 0x38200")
        elif fr.startswith("e") and r["area"] == "numeric":
            ck.expect(r["flags"] == 0x28000, f"{fr}: currency flags 0x28000")
    zips = [r for r in rows if r["fr"].startswith("_zip")]
    ck.expect(len(zips) == 27, f"{len(zips)} old archive rows, want 27")


def main():
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "functions.txt")
    ck = Checker()
    try:
        rows = parse(path, ck)
    except OSError as e:
        sys.stderr.write(f"check_functions: {e}\n")
        return 1
    if check_rows(rows, ck):
        check_telling_rows(rows, ck)
    for msg in ck.errors:
        sys.stderr.write(f"check_functions: {msg}\n")
    if ck.errors:
        sys.stderr.write(f"check_functions: {len(ck.errors)} problem(s) in {path}\n")
        return 1
    print(f"check_functions: {path}: {len(rows)} rows, "
          f"{N_BUILT_ROWS} carried out through {N_ENTRY_POINTS} entry points, "
          f"{N_NULL_ROWS} null rows, {len(RESERVED)} reserved: OK")
    return 0


if __name__ == "__main__":
    sys.exit(main())
