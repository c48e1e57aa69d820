#!/usr/bin/env python3
"""Lists every function of Sorvix's own sources that is longer than 80 lines.

    tools/function-lengths.py [--root CHECKOUT] [--limit N] [--all] [--self-test]

A function's length is counted from the first line of its definition (the
template line, the return type) to its closing brace.  The sources are the
.cpp and .h files of every folder of the checkout except:

  tests/, fuzz/, bench/   test programs, fuzz targets and benchmarks: a
                          test's length follows its table of cases
  build*/                 build output
  tools/feedgen/          the demo-feed generator: it makes the demo data
                          and is not part of the program (its record
                          builders are long lists of field writes)

A function that is a table of data (a list of rows written out as code) may
stay long: it is listed in KNOWN_TABLES below with the reason.  A listed
table that is gone or no longer too long fails the check too, so the list
only shrinks.

The scanner matches braces with strings, raw strings, character literals,
comments and preprocessor lines skipped.  A brace at namespace or class
scope opens a function body when what precedes it (since the last `;`, `{`
or `}`) holds a parenthesised parameter list not preceded by `=` (so
`kTable[] = {...}` and `auto f = [] {...}` are data, not functions);
member-initializer braces (`x_{1}`) of a constructor belong to its head.
Lambdas and local classes count as part of the function around them.

Exit status: 0 when no function is too long, 1 otherwise (each one printed
as "file:line: function is N lines (limit 80)"), 2 when a file cannot be
scanned (unbalanced braces).
"""

import argparse
import os
import re
import sys

LIMIT = 80

SKIPPED_DIRS = {"tests", "fuzz", "bench", os.path.join("tools", "feedgen")}
EXTENSIONS = (".cpp", ".h", ".cc", ".hpp")

# "path:function" -> why it may be long.  Only real data tables belong here.
KNOWN_TABLES = {}


class ScanError(Exception):
    pass


IDENT = re.compile(r"[A-Za-z_][A-Za-z0-9_]*")
LITERAL_PREFIXES = {"L", "u", "U", "u8", "R", "LR", "uR", "UR", "u8R"}


def tokens(text):
    """Yields (kind, value, line) with comments, literals and preprocessor
    lines reduced to one token each (literals) or nothing (the rest)."""
    i, n, line = 0, len(text), 1
    at_line_start = True

    def skip_comment(i, line):
        """(i, line) just past the comment that starts at i (a line comment
        ends before its newline), or None when no comment starts there."""
        if text.startswith("//", i):
            end = text.find("\n", i)
            return (n if end < 0 else end), line
        if text.startswith("/*", i):
            end = text.find("*/", i + 2)
            if end < 0:
                raise ScanError(f"line {line}: unterminated comment")
            return end + 2, line + text.count("\n", i, end)
        return None

    while i < n:
        c = text[i]
        if c == "\n":
            line += 1
            i += 1
            at_line_start = True
            continue
        if c in " \t\r\f\v":
            i += 1
            continue
        if c == "#" and at_line_start:
            # A preprocessor line, with its continuations and comments.
            while i < n and text[i] != "\n":
                if text[i] == "\\" and i + 1 < n and text[i + 1] == "\n":
                    line += 1
                    i += 2
                    continue
                skipped = skip_comment(i, line)
                if skipped:
                    i, line = skipped
                    continue
                i += 1
            continue
        at_line_start = False
        skipped = skip_comment(i, line)
        if skipped:
            i, line = skipped
            continue
        m = IDENT.match(text, i)
        if m:
            word = m.group(0)
            j = m.end()
            if word in LITERAL_PREFIXES and j < n and text[j] in "\"'":
                i = j
                if word.endswith("R") and text[j] == '"':
                    i, line = raw_string(text, i, line)
                    yield ("lit", '""', line)
                    continue
                continue  # the literal itself follows
            yield ("id", word, line)
            i = j
            continue
        if c.isdigit() or (c == "." and i + 1 < n and text[i + 1].isdigit()):
            j = i + 1
            while j < n:
                if text[j] in "eEpP" and j + 1 < n and text[j + 1] in "+-":
                    j += 2
                elif text[j].isalnum() or text[j] in "_.'":
                    j += 1
                else:
                    break
            yield ("num", text[i:j], line)
            i = j
            continue
        if c in "\"'":
            start_line = line
            j = i + 1
            while j < n and text[j] != c:
                if text[j] == "\\":
                    j += 1
                elif text[j] == "\n":
                    raise ScanError(f"line {start_line}: unterminated literal")
                j += 1
            if j >= n:
                raise ScanError(f"line {start_line}: unterminated literal")
            yield ("lit", c + c, line)
            i = j + 1
            continue
        if text.startswith("::", i):
            yield ("op", "::", line)
            i += 2
            continue
        if text.startswith("->", i):
            yield ("op", "->", line)
            i += 2
            continue
        yield ("op", c, line)
        i += 1


def raw_string(text, i, line):
    """Skips R"delim(...)delim" starting at the quote; returns (end, line)."""
    open_paren = text.find("(", i)
    if open_paren < 0:
        raise ScanError(f"line {line}: bad raw string")
    delim = text[i + 1 : open_paren]
    end = text.find(")" + delim + '"', open_paren)
    if end < 0:
        raise ScanError(f"line {line}: unterminated raw string")
    end += len(delim) + 2
    return end, line + text.count("\n", i, end)


ACCESS = {"public", "private", "protected", "signals", "slots", "Q_SIGNALS", "Q_SLOTS"}
CLASS_KEYS = {"class", "struct", "union", "enum"}


def strip_prefix(head):
    """Drops `template <...>` prefixes, attributes and access labels."""
    changed = True
    while changed and head:
        changed = False
        if head[0][1] == "template" and len(head) > 1 and head[1][1] == "<":
            depth, k = 0, 1
            while k < len(head):
                v = head[k][1]
                if v == "<":
                    depth += 1
                elif v == ">":
                    depth -= 1
                    if depth == 0:
                        break
                elif v == "(":  # a default like `N = (a > b)`
                    pdepth = 1
                    k += 1
                    while k < len(head) and pdepth:
                        pdepth += {"(": 1, ")": -1}.get(head[k][1], 0)
                        k += 1
                    continue
                k += 1
            head = head[k + 1 :]
            changed = True
        elif head[0][1] in ACCESS:
            k = 0
            while k < len(head) and head[k][1] in ACCESS:
                k += 1
            if k < len(head) and head[k][1] == ":":
                head = head[k + 1 :]
                changed = True
        elif head[0][1] == "[" and len(head) > 1 and head[1][1] == "[":
            k = 2
            while k + 1 < len(head) and not (head[k][1] == "]" and head[k + 1][1] == "]"):
                k += 1
            head = head[k + 2 :]
            changed = True
    return head


def classify(head):
    """What a `{` opens, from the tokens before it: 'namespace', 'class',
    'function' (with its name and first line) or 'other'."""
    head = strip_prefix(head)
    if not head:
        return ("other", None, None)
    words = [v for _, v, _ in head]
    if "namespace" in words[:2] or (words[0] == "extern" and len(words) == 2):
        return ("namespace", None, None)
    if words[0] in CLASS_KEYS or (words[0] in ("typedef", "friend") and words[1:2] and words[1] in CLASS_KEYS):
        if "=" not in words and "(" not in words:
            return ("class", None, None)
    # A function: a top-level `(` not preceded by a top-level `=`.
    depth = 0
    call_operator = False
    for k, (_, v, _) in enumerate(head):
        if call_operator:  # the `)` of operator()
            call_operator = False
            continue
        if v == "=" and depth == 0:
            if k > 0 and head[k - 1][1] == "operator":
                continue
            return ("other", None, None)
        if v == "(":
            if depth == 0:
                if k > 0 and head[k - 1][1] == "operator":
                    call_operator = True  # the `()` of operator()
                    continue
                name = function_name(head, k)
                if name is None:
                    return ("other", None, None)
                return ("function", name, head[0][2])
            depth += 1
        elif v == ")":
            depth -= 1
    return ("other", None, None)


def function_name(head, paren):
    """The qualified name before the parameter list at head[paren]."""
    k = paren - 1
    # operator(), operator==, operator<<, operator bool...
    if k >= 2 and head[k][1] == ")" and head[k - 1][1] == "(" and head[k - 2][1] == "operator":
        k -= 2  # operator()
    j = k
    while j >= 0 and j > k - 4 and head[j][1] not in ("operator", "::", ",", "(", ")"):
        j -= 1
    if j >= 0 and head[j][1] == "operator":
        spelled = "".join((" " + v if kind == "id" else v) for kind, v, _ in head[j + 1 : paren])
        parts = ["operator" + spelled]
        k = j - 1
    elif k >= 0 and head[k][0] == "id":
        parts = [head[k][1]]
        k -= 1
        if k >= 0 and head[k][1] == "~":
            parts[-1] = "~" + parts[-1]
            k -= 1
    else:
        return None
    while k >= 1 and head[k][1] == "::" and head[k - 1][0] == "id":
        parts.append(head[k - 1][1])
        k -= 2
    return "::".join(reversed(parts))


def functions(text):
    """Yields (name, first line, last line) of every function definition."""
    stack = []  # kinds of the open braces
    head = []  # tokens since the last ; { } at this scope
    pending = None  # a function whose body's brace comes next
    init_depth = 0  # braces of member initializers inside a head
    for kind, v, line in tokens(text):
        in_function = any(k[0] == "function" for k in stack)
        if in_function or (stack and stack[-1][0] == "other"):
            if v == "{":
                stack.append(("other",))
            elif v == "}":
                if not stack:
                    raise ScanError(f"line {line}: unmatched }}")
                top = stack.pop()
                if top[0] == "function":
                    yield (top[1], top[2], line)
                    head = []
            continue
        # Namespace or class scope.
        if init_depth:
            head.append((kind, v, line))
            if v == "{":
                init_depth += 1
            elif v == "}":
                init_depth -= 1
            continue
        if v == ";":
            head = []
        elif v == "{":
            what, name, first = classify(head)
            if what == "function" and in_member_init(head):
                # `x_{1}` in a constructor's initializer list.
                head.append((kind, v, line))
                init_depth = 1
                continue
            if what == "function":
                stack.append(("function", name, first))
            else:
                stack.append((what,))
            head = []
        elif v == "}":
            if not stack:
                raise ScanError(f"line {line}: unmatched }}")
            stack.pop()
            head = []
        else:
            head.append((kind, v, line))
    if stack or init_depth:
        raise ScanError("unbalanced braces at the end of the file")


def in_member_init(head):
    """True when head ends inside a constructor's member-initializer list
    with a brace initializer next (`: a_(1), b_` before `{`)."""
    if not head or head[-1][0] != "id" and head[-1][1] != ">":
        return False
    depth = 0
    for k, (_, v, _) in enumerate(head):
        if v == "(":
            depth += 1
        elif v == ")":
            depth -= 1
            if depth == 0 and k + 1 < len(head) and head[k + 1][1] == ":":
                return True
    return False


def sources(root):
    for dirpath, dirnames, filenames in os.walk(root):
        rel = os.path.relpath(dirpath, root)
        dirnames[:] = sorted(
            d
            for d in dirnames
            if not d.startswith(".")
            and not (rel == "." and d.startswith("build"))
            and os.path.normpath(os.path.join(rel, d)) not in SKIPPED_DIRS
        )
        for f in sorted(filenames):
            if f.endswith(EXTENSIONS):
                yield os.path.normpath(os.path.join(rel, f))


# The scanner's own check (--self-test): what it must find in a source
# that holds the constructs it skips or must not take for a function.
SELF_TEST_SOURCE = r"""#include <x>
#define OPEN {
namespace a {
template <typename T = int, int N = (3 > 2)>
struct S : B<T> {
 public:
  S(int x) : x_{x}, y_(2), z_{{1, 2}} {
    auto l = [](int) { return '}'; };
  }
  bool operator==(const S&) const = default;
  bool operator<(const S& o) const { return x_ < o.x_; }
  int operator()(int) { return 1; }
  operator bool() const { return true; }
  ~S() {}
  int x_{1};
 signals:
  void f() const;
};
const int kTable[] = {1, 2, 3};
auto kL = [](int x) { return x; };
const char* kRaw = R"x(}}}" )x";
int g() noexcept { const char* s = "\"{"; int n = 1'000; /* } */ return 'x'; }
extern "C" {
void h() {}
}
auto t() -> int {
  // }
  return 0;
}
}  // namespace a
void a::S::Out(int) const {}
"""

SELF_TEST_EXPECTED = [
    ("S", 7, 9),
    ("operator<", 11, 11),
    ("operator()", 12, 12),
    ("operator bool", 13, 13),
    ("~S", 14, 14),
    ("g", 22, 22),
    ("h", 24, 24),
    ("t", 26, 29),
    ("a::S::Out", 31, 31),
]


def self_test():
    try:
        found = list(functions(SELF_TEST_SOURCE))
    except ScanError as e:
        found = f"cannot scan: {e}"
    if found == SELF_TEST_EXPECTED:
        print(f"scanner: {len(found)} functions found as expected")
        return 0
    print("scanner: the sample's functions are not found as expected")
    print(f"  expected {SELF_TEST_EXPECTED}")
    print(f"  found    {found}")
    return 1


def main():
    parser = argparse.ArgumentParser(description="Lists the functions longer than the limit.")
    parser.add_argument("--root", default=os.path.join(os.path.dirname(__file__), ".."))
    parser.add_argument("--limit", type=int, default=LIMIT)
    parser.add_argument("--all", action="store_true", help="list known tables too")
    parser.add_argument("--self-test", action="store_true", help="check the scanner itself")
    args = parser.parse_args()
    if args.self_test:
        return self_test()
    root = os.path.abspath(args.root)

    too_long, tables_seen, failed = [], set(), False
    for path in sources(root):
        with open(os.path.join(root, path), encoding="utf-8", errors="surrogateescape") as f:
            text = f.read()
        try:
            for name, first, last in functions(text):
                length = last - first + 1
                if length <= args.limit:
                    continue
                key = f"{path}:{name}"
                if key in KNOWN_TABLES:
                    tables_seen.add(key)
                    if args.all:
                        print(f"{path}:{first}: {name} is {length} lines (table: {KNOWN_TABLES[key]})")
                    continue
                too_long.append((path, first, name, length))
        except ScanError as e:
            print(f"{path}: cannot scan: {e}", file=sys.stderr)
            failed = True
    if failed:
        return 2
    for path, first, name, length in too_long:
        print(f"{path}:{first}: {name} is {length} lines (limit {args.limit})")
    gone = sorted(set(KNOWN_TABLES) - tables_seen)
    for key in gone:
        print(f"{key}: listed as a known table but not over {args.limit} lines any more; "
              "remove it from KNOWN_TABLES")
    if too_long or gone:
        if too_long:
            print(f"{len(too_long)} function(s) over {args.limit} lines: split them by concern, "
                  "or list a data table in KNOWN_TABLES (tools/function-lengths.py) with the reason")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
