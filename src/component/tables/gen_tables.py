#!/usr/bin/env python3
"""Turns the descriptor data files into C++ tables.

Inputs (in the tables folder): functions.txt, constants.txt, variables.txt.
Outputs (in the output folder):
  descriptor_tables.cpp  the function, constant and variable tables
  host_signatures.inc    argument kinds of every overload that exists here,
                         for the reference host
  entry_points.txt       the entry points built into the module, one a line
  entry_points.cpp       the ZNL_ entry points of every row that names its
                         function: typed readers, the call, the result writer
"""
import os
import sys
import unicodedata

N_FUNCTIONS = 423
N_CONSTANTS = 497
N_VARIABLES = 53
COMPONENT = 8


def fail(msg):
    sys.stderr.write("gen_tables: " + msg + "\n")
    sys.exit(1)


def data_lines(path):
    with open(path, encoding="utf-8") as f:
        for no, line in enumerate(f, 1):
            s = line.rstrip("\n")
            if not s.strip() or s.lstrip().startswith("#"):
                continue
            yield no, s


def split_names(rest, where):
    if "|" not in rest:
        fail(f"{where}: names must be 'French|English'")
    fr, en = rest.split("|", 1)
    return fr.strip(), en.strip()


def c_text(s, encoding):
    """A C string literal; octal escapes so that no following digit is eaten."""
    out = []
    for b in s.encode(encoding):
        c = chr(b)
        if c in '"\\':
            out.append("\\" + c)
        elif 32 <= b < 127:
            out.append(c)
        else:
            out.append("\\%03o" % b)
    return '"' + "".join(out) + '"'


def ascii_name(s):
    return "".join(c for c in unicodedata.normalize("NFD", s) if unicodedata.category(c) != "Mn")


def read_functions(path):
    rows = []
    for no, line in data_lines(path):
        where = f"{os.path.basename(path)}:{no}"
        kind = line.split(None, 1)[0]
        if kind == "F":
            head, _, names = line.partition("|")
            parts = head.split(None, 5)
            if len(parts) < 5:
                fail(f"{where}: F <row> <flags> <repeats> <area> <French>|<English>")
            fr = parts[5].strip() if len(parts) > 5 else ""
            en = names.strip()
            rows.append({
                "row": int(parts[1]), "flags": int(parts[2], 16),
                "repeats": None if parts[3] == "-" else int(parts[3]),
                "area": parts[4], "fr": fr, "en": en, "syn": [], "where": where,
            })
        elif kind == "S":
            if not rows:
                fail(f"{where}: syntax before any row")
            parts = line.split()
            if len(parts) not in (5, 6):
                fail(f"{where}: S <result> <argword> <entry> <args> [<function>]")
            _, result, argword, entry, args = parts[:5]
            function = parts[5] if len(parts) == 6 else None
            if entry not in "+.n" or len(entry) != 1:
                fail(f"{where}: entry must be + . or n")
            rows[-1]["syn"].append({
                "result": "" if result == "-" else result.upper(),
                "argword": int(argword), "entry": entry,
                "args": "" if args == "-" else args, "where": where,
                "function": function,
            })
        else:
            fail(f"{where}: unknown line kind {kind!r}")
    if [r["row"] for r in rows] != list(range(N_FUNCTIONS)):
        fail("function rows must be 0..422 in order")
    for r in rows:
        for s in r["syn"]:
            n_args = len([a for a in s["args"].split(",") if a and not a.startswith("...")])
            if n_args != (s["argword"] & 0x7F):
                fail(f"{s['where']}: {n_args} argument kinds for argument word {s['argword']}")
    return rows


def function_id(rows, r):
    target = rows[r["repeats"]] if r["repeats"] is not None else r
    return (len(target["syn"]) << 24) | (COMPONENT << 16) | target["row"]


def entry_name(r, n):
    return f"ZNL_{ascii_name(r['fr'])}_{n}"


def forward_numbers(rows):
    """Old archive functions forward to another component under a number:
    their place in the alphabetical order of the names without accents."""
    names = sorted({ascii_name(r["fr"])[:-len("_old")] for r in rows
                    if r["fr"].startswith("_zip") and r["fr"].endswith("_old")})
    return {n + "_old": i for i, n in enumerate(names)}


def gen_forwarders(rows, out):
    numbers = forward_numbers(rows)
    out.append("extern \"C\" {")
    for r in rows:
        number = numbers.get(ascii_name(r["fr"]))
        if number is None:
            continue
        for n, s in enumerate(r["syn"]):
            if s["entry"] != "+":
                fail(f"{s['where']}: a forwarding function is always built")
            out.append(f"QV_EXPORT int {entry_name(r, n)}(STZNAppel* pstAppel, IZNLibrary* pclLib, void**) "
                       f"{{ return COMPO_nForward(pstAppel, pclLib, {number}); }}")
    out.append("}")
    out.append("extern const int gnNbForward = %d;" % len(numbers))


def gen_functions(rows, out):
    built = []
    for r in rows:
        for n, s in enumerate(r["syn"]):
            if s["entry"] == "+":
                built.append(entry_name(r, n))
    out.append("extern \"C\" {")
    for name in built:
        out.append(f"QV_EXPORT int {name}(STZNAppel*, IZNLibrary*, void**);")
    out.append("}")
    out.append("namespace {")
    for r in rows:
        if not r["syn"]:
            continue
        out.append(f"const STSyntaxe s_syn{r['row']}[] = {{")
        for n, s in enumerate(r["syn"]):
            fn = entry_name(r, n) if s["entry"] == "+" else "nullptr"
            res = c_text(chr(int(s["result"], 16)), "latin-1") if s["result"] else '""'
            out.append(f"    {{{fn}, 0, {res}, {s['argword']}}},")
        out.append("};")
    out.append("}  // namespace")
    out.append(f"extern const STFonction gstTabFonction[{N_FUNCTIONS}] = {{")
    for r in rows:
        syn = f"s_syn{r['row']}" if r["syn"] else "nullptr"
        out.append(f"    {{{{{c_text(r['fr'], 'latin-1')}, {c_text(r['en'], 'latin-1')}}}, "
                   f"0x{r['flags']:X}, 0x{function_id(rows, r):08X}, {syn}}},")
    out.append("};")
    return built


# Argument kind -> (C++ parameter type, reader expression on index i).
ARG_GLUE = {
    "int": ("int32_t", "glue::Int(p, {i})"),
    "i8": ("int64_t", "glue::I8(p, {i})"),
    "real": ("double", "glue::Real(p, {i})"),
    "bool": ("bool", "glue::Bool(p, {i})"),
    "text": ("const char*", "glue::Text(p, {i})"),
    "proc": ("const char*", "glue::Text(p, {i})"),
    "file": ("const STManipAUB*", "glue::File(p, {i})"),
    "uni": ("const CZNDSTRBase&", "glue::Uni(p, {i})"),
    "bin": ("const CZNBINBase&", "glue::Bin(p, {i})"),
    "dur": ("const CDuree&", "glue::Dur(p, {i})"),
    "datetime": ("const CDateTime&", "glue::DateTime(p, {i})"),
    "any": ("const CAny&", "glue::Any(lib, {i})"),
    "addr": ("void*", "glue::Addr(p, {i})"),
    "obj": ("IObjetAPCode*", "glue::Obj(lib, {i})"),
    "cur": ("const CMoney&", "glue::Cur(p, {i})"),
    "var": ("IVariable*", "glue::Var(lib, {i})"),
}
# Kinds that arrive as the same host value and may be read either way: a
# text that must keep its length (embedded zeros) is read as a string.
READ_AS = {("text", "uni"), ("uni", "text"), ("proc", "uni")}
# Result type code -> C++ return type ('' is a procedure; 1F fills the
# variant of its last parameter; 4B posts its result itself).
RESULT_GLUE = {
    "": "void", "01": "bool", "08": "int32_t", "09": "int64_t", "0C": "double",
    "13": "CZNDSTR", "1B": "CDuree", "1C": "CZNBIN", "1F": "void", "4B": "void",
    "0A": "CMoney",
}


# The namespace of an area's functions, where it cannot be the area's name
# (a namespace "system" would clash with the C library's system()).
NAMESPACE = {"system": "sys"}


def parse_function(s, where):
    """'Name' or 'Name(kind,...)': the C++ function of a syntax row, with the
    kinds to read its arguments as when they differ from the host's."""
    if "(" not in s:
        return s, None
    if not s.endswith(")"):
        fail(f"{where}: function must be Name or Name(kind,...)")
    name, kinds = s[:-1].split("(", 1)
    return name, [k for k in kinds.split(",") if k]


def gen_entry_points(rows):
    """The entry points of every row that names its function."""
    areas = set()
    body = []
    for r in rows:
        for n, s in enumerate(r["syn"]):
            if s["function"] is None:
                continue
            if s["entry"] != "+":
                fail(f"{s['where']}: a function is named only for a built entry point (+)")
            name, read_as = parse_function(s["function"], s["where"])
            if not name.isidentifier():
                fail(f"{s['where']}: {name!r} is not a C++ name")
            kinds = [a for a in s["args"].split(",") if a and not a.startswith("...")]
            if read_as is not None:
                if len(read_as) != len(kinds):
                    fail(f"{s['where']}: {len(read_as)} kinds to read as, {len(kinds)} arguments")
                for k, a in zip(kinds, read_as):
                    if k != a and (k, a) not in READ_AS:
                        fail(f"{s['where']}: a {k} argument cannot be read as {a}")
                kinds = read_as
            for k in kinds:
                if k not in ARG_GLUE:
                    fail(f"{s['where']}: no reader for kind {k!r}; write this entry point by hand")
            if s["result"] not in RESULT_GLUE:
                fail(f"{s['where']}: no writer for result {s['result']!r}")
            area = r["area"]
            areas.add(area)
            params = ["CZNLibrary&"] + [ARG_GLUE[k][0] for k in kinds]
            args = ["lib"] + [ARG_GLUE[k][1].format(i=i) for i, k in enumerate(kinds)]
            if s["result"] == "1F":
                params.append("CAny&")
                args.append("clResultat")
            ret = RESULT_GLUE[s["result"]]
            call = (f"static_cast<{ret} (*)({', '.join(params)})>(&{NAMESPACE.get(area, area)}::{name})"
                    f"({', '.join(args)})")
            if s["result"] == "1F":
                stmt = f"CAny clResultat; {call}; glue::PostAny(a, clResultat);"
            elif ret == "void":
                stmt = f"{call};"
            else:
                stmt = f"glue::Result<0x{s['result']}>::Post(a, {call});"
            body.append(f"QV_EXPORT int {entry_name(r, n)}(STZNAppel* a, IZNLibrary* l, void** p) {{")
            body.append(f"    return glue::Run(l, [&](CZNLibrary& lib) {{ {stmt} }});")
            body.append("}")
    out = ["// Generated from src/component/tables/functions.txt by gen_tables.py: do not edit.",
           "// One entry point per syntax row that names its function.",
           '#include "component/entry_glue.h"',
           '#include "platform/export.h"']
    out += [f'#include "{a}/functions.h"' for a in sorted(areas)]
    out += ["", "// Arguments the host passes are read even when unused.",
            '#pragma GCC diagnostic ignored "-Wunused-parameter"',
            'extern "C" {'] + body + ['}  // extern "C"']
    return "\n".join(out) + "\n"


def read_constants(path):
    rows = []
    for no, line in data_lines(path):
        where = f"{os.path.basename(path)}:{no}"
        head, _, en = line.rpartition("|")
        parts = head.split(None, 4)
        if parts[0] != "C" or len(parts) != 5:
            fail(f"{where}: C <row> <flags> <type> <value> <French>|<English>")
        _, row, flags, typ, rest = parts
        rest = rest.strip()
        if rest.startswith('"'):
            end = 1
            while end < len(rest):
                if rest[end] == "\\":
                    end += 2
                    continue
                if rest[end] == '"':
                    break
                end += 1
            value, fr = rest[:end + 1], rest[end + 1:].strip()
        else:
            value, _, fr = rest.partition(" ")
            fr = fr.strip()
        rows.append({"row": int(row), "flags": int(flags, 16), "type": int(typ, 16),
                     "value": value, "fr": fr, "en": en.strip(), "where": where})
    if [r["row"] for r in rows] != list(range(N_CONSTANTS)):
        fail("constant rows must be 0..496 in order")
    return rows


def gen_constants(rows, out):
    out.append(f"extern const STConstante gstTabConstante[{N_CONSTANTS}] = {{")
    for r in rows:
        if r["type"] == 0x12:
            if not r["value"].startswith('"'):
                fail(f"{r['where']}: a text constant needs a quoted value")
            v = f"reinterpret_cast<uintptr_t>({r['value']})"
        elif r["type"] == 0x08:
            v = f"static_cast<uintptr_t>(static_cast<int32_t>({int(r['value'], 0)}))"
        else:
            v = "0"
        out.append(f"    {{{{{c_text(r['fr'], 'latin-1')}, {c_text(r['en'], 'latin-1')}}}, "
                   f"0x{r['flags']:X}, {v}, {COMPONENT}, 0x{r['type']:02X}}},")
    out.append("};")


def read_variables(path):
    rows = []
    for no, line in data_lines(path):
        where = f"{os.path.basename(path)}:{no}"
        head, _, en = line.rpartition("|")
        parts = head.split(None, 4)
        if parts[0] != "V" or len(parts) != 5:
            fail(f"{where}: V <id> <flags> <type> <French>|<English>")
        rows.append({"id": int(parts[1]), "flags": int(parts[2], 16), "type": int(parts[3], 16),
                     "fr": parts[4].strip(), "en": en.strip()})
    if len(rows) != N_VARIABLES:
        fail(f"{len(rows)} variable rows, {N_VARIABLES} expected")
    return rows


def gen_variables(rows, out):
    out.append(f"extern const STVariable gstTabVariable[{N_VARIABLES}] = {{")
    for r in rows:
        out.append(f"    {{{{{c_text(r['fr'], 'latin-1')}, {c_text(r['en'], 'latin-1')}}}, "
                   f"0x{r['flags']:X}, {r['id']}, {COMPONENT}, 0x{r['type']:02X}}},")
    out.append("};")


def gen_signatures(rows):
    out = ["// Generated from the function data file: argument kinds of every overload",
           "// that exists on this platform.",
           "static const QVSignature g_tabSignatures[] = {"]
    for r in rows:
        for n, s in enumerate(r["syn"]):
            if s["entry"] != "n":
                out.append(f'    {{{r["row"]}, {n}, "{s["args"]}", "{s["result"]}", {s["argword"]}}},')
    out.append("};")
    return "\n".join(out) + "\n"


def write_if_changed(path, text):
    try:
        with open(path, encoding="utf-8") as f:
            if f.read() == text:
                return
    except OSError:
        pass
    tmp = path + ".tmp"
    with open(tmp, "w", encoding="utf-8") as f:
        f.write(text)
    os.replace(tmp, path)


def main():
    if len(sys.argv) != 3:
        fail("usage: gen_tables.py TABLE_DIR OUT_DIR")
    src, dst = sys.argv[1], sys.argv[2]
    os.makedirs(dst, exist_ok=True)
    functions = read_functions(os.path.join(src, "functions.txt"))
    constants = read_constants(os.path.join(src, "constants.txt"))
    variables = read_variables(os.path.join(src, "variables.txt"))
    out = ["// Generated from src/component/tables/*.txt by gen_tables.py: do not edit.",
           '#include "component/tables.h"', ""]
    built = gen_functions(functions, out)
    gen_forwarders(functions, out)
    gen_constants(constants, out)
    gen_variables(variables, out)
    write_if_changed(os.path.join(dst, "descriptor_tables.cpp"), "\n".join(out) + "\n")
    write_if_changed(os.path.join(dst, "host_signatures.inc"), gen_signatures(functions))
    write_if_changed(os.path.join(dst, "entry_points.txt"), "".join(n + "\n" for n in sorted(built)))
    write_if_changed(os.path.join(dst, "entry_points.cpp"), gen_entry_points(functions))


if __name__ == "__main__":
    main()
