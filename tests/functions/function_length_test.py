#!/usr/bin/env python3
"""Function lengths: no function of the product code runs past 60 lines.

    python3 function_length_test.py SOURCE_DIR [--top N]

A function's length counts its lines from the first line of its signature to its closing brace.
The sources are read with comments, literals and preprocessor lines blanked out, and each brace
at namespace or class level is judged by what stands before it: a function body follows a
parameter list. The functions still waiting to be split are listed in LONG with the length
they may not pass; one that comes down to the limit must leave the list. --top N lists the N
longest functions instead of checking.
"""
import re
import sys
from pathlib import Path

LIMIT = 60
PRODUCT = ["platform", "mixer", "song", "engine", "formats", "settings", "cli", "host", "ui",
           "tools", "api", "include", "gst"]
SCOPE_WORDS = {"namespace", "class", "struct", "union", "enum", "extern"}
LITERAL = re.compile(r'R"([^(]*)\(.*?\)\1"|"(?:\\.|[^"\\\n])*"|\'(?:\\.|[^\'\\\n])*\'|//[^\n]*|/\*.*?\*/',
                     re.S)
DIRECTIVE = re.compile(r"^[ \t]*#(?:[^\n]*\\\n)*[^\n]*", re.M)
LABEL = re.compile(r"\b(?:public|private|protected)\s*:(?!:)")
TEMPLATE = re.compile(r"^\s*template\s*<")
ATTRIBUTE = re.compile(r"\[\[.*?\]\]", re.S)
# Still to be split: (file, function) and the length it may not pass.
LONG = {}


def blank(match):
    return re.sub(r"[^\n]", " ", match.group(0))


def plain(text):
    """The text with comments, literals and preprocessor lines turned into spaces."""
    text = LITERAL.sub(blank, text)
    return DIRECTIVE.sub(blank, text)


def without_template(head):
    if not TEMPLATE.match(head):
        return head
    depth, start = 0, head.index("<")
    for i in range(start, len(head)):
        depth += {"<": 1, ">": -1}.get(head[i], 0)
        if depth == 0:
            return head[i + 1:]
    return head


def closing_paren(head):
    """Where the first parenthesis of the head closes."""
    depth = 0
    for i in range(head.index("("), len(head)):
        depth += {"(": 1, ")": -1}.get(head[i], 0)
        if depth == 0:
            return i
    return len(head)


def kind_of(head):
    """What a brace at namespace or class level opens, judged by the text before it."""
    head = without_template(LABEL.sub(" ", ATTRIBUTE.sub(" ", head))).strip()
    words = re.findall(r"[A-Za-z_]\w*", head)
    if not head or (words and words[0] in SCOPE_WORDS and "(" not in head):
        return "scope"
    if words and words[0] == "namespace":
        return "scope"
    if "(" not in head:
        return "other"  # a braced initialiser
    before_call = head[: head.index("(")]
    if "=" in before_call and "operator" not in before_call:
        return "other"  # an initialiser, a lambda held in a variable among them
    # A member initialised with braces in a constructor's initialiser list.
    after_params = head[closing_paren(head) + 1:]
    if re.search(r"(?<!:):(?!:)", after_params) and re.search(r"[\w>]$", head):
        return "member"
    return "function"


def functions(text):
    """(first line, last line, name) of every function defined at namespace or class level."""
    text = plain(text)
    found, stack, head_start = [], [], 0
    line_at = [0]
    for c in text:
        line_at.append(line_at[-1] + (c == "\n"))
    for pos, c in enumerate(text):
        at_scope = all(k == "scope" for k, _ in stack)
        if c == "{":
            kind = kind_of(text[head_start:pos]) if at_scope else "inner"
            stack.append((kind, head_start))
            if kind == "scope":
                head_start = pos + 1
        elif c == "}" and stack:
            kind, start = stack.pop()
            if kind == "function":
                first = start + len(text[start:]) - len(text[start:].lstrip())
                head = ATTRIBUTE.sub(" ", text[first:text.index("{", first)])
                names = re.findall(r"[~\w:]+", head[: head.index("(")])
                found.append((line_at[first] + 1, line_at[pos] + 1, names[-1] if names else "?"))
            if kind != "member" and all(k == "scope" for k, _ in stack):
                head_start = pos + 1
        elif c == ";" and at_scope:
            head_start = pos + 1
    return found


def measure(root):
    """(length, place, name) of every function in the product code."""
    result = []
    for top in PRODUCT:
        for path in sorted((root / top).rglob("*")):
            if path.suffix in (".h", ".cpp", ".c") and path.is_file():
                for first, last, name in functions(path.read_text(errors="replace")):
                    result.append((last - first + 1, str(path.relative_to(root)), first, name))
    return result


def self_test():
    """The counter on made-up sources, so that a broken parser cannot pass everything."""
    source = "\n".join([
        "namespace a {", "struct S : B {", "  int f() const { return 1; }", "  S() : x_{1}, y_(2) {",
        "    x_ = 2;", "  }", "  int x_{0};", "};", "const int table[] = {1, 2};",
        "auto g = [](int) { return 0; };", "template <class T> T h(T t) {", '  const char* s = "{";',
        "  // }", "  return t;", "}", "} // namespace a"])
    got = [(first, last, name) for first, last, name in functions(source)]
    want = [(3, 3, "f"), (4, 6, "S"), (11, 15, "h")]
    return [] if got == want else [f"the counter found {got}, not {want}"]


def problems_in(lengths):
    """What breaks the rule: a function past its limit, or a listed one that no longer runs long."""
    found, seen = [], set()
    for length, path, line, name in lengths:
        limit = LONG.get((path, name), LIMIT)
        if length > LIMIT:
            seen.add((path, name))
        if length > limit:
            found.append(f"{path}:{line}: {name} runs {length} lines (at most {limit})")
    found += [f"{path}: {name} is listed as long but is not: take it off the list"
              for path, name in LONG if (path, name) not in seen]
    return found


def main():
    root = Path(sys.argv[1])
    lengths = sorted(measure(root), reverse=True)
    if "--top" in sys.argv:
        for length, path, line, name in lengths[: int(sys.argv[sys.argv.index("--top") + 1])]:
            print(f"{length:4} {path}:{line} {name}")
        return 0
    problems = self_test() + problems_in(lengths)
    for line in problems:
        print(line)
    print(f"{len(problems)} problem(s)" if problems else "no function runs past its limit")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
