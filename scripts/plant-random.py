#!/usr/bin/env python3
# Picks one-token faults at seeded random places in the portable code, and plants them.
#   plant-random.py pick ROOT BUILD N SEED   prints N faults, one a line:
#                                            id<TAB>file<TAB>line<TAB>kind<TAB>original<TAB>mutated
#   plant-random.py plant LIST ID ROOT       puts fault ID of LIST into the tree at ROOT
# The places are the lines the native build compiles (src/ but *_win32.*, and tools/hzwkctl/),
# read from the preprocessor's own output for each file in BUILD's compile_commands.json, so a
# branch of "#ifdef _WIN32" and a header only the Windows build includes are never chosen.
# Comments, string and character literals and preprocessor lines are never touched.
# Kinds: rel (< <= > >= == !=), arith (+ - * / % and their "=" forms), logic (&& ||),
# const (an integer moved by one), negate (if/while condition), drop (a statement line removed).
# Kinds are dealt in shuffled rounds, each kind once a round, then a place of that kind, at
# most one fault a line: a file full of numbers in a table does not crowd out the rest.
# The same tree and seed give the same faults.
import json, os, random, re, shlex, subprocess, sys
from concurrent.futures import ThreadPoolExecutor


def portable(rel):
    if re.search(r'_win32\.[^/]*$', rel):
        return False
    return ((rel.startswith('src/') or rel.startswith('tools/hzwkctl/'))
            and rel.endswith(('.cpp', '.h')))


def live_lines(root, build):
    """file (relative to root) -> set of lines that some native compilation emits code for
    (the preprocessor keeps blank lines in place of a short skipped branch, so only lines with
    code in its output count)."""
    cmds = json.load(open(os.path.join(build, 'compile_commands.json')))

    def preprocess(entry):
        args = shlex.split(entry['command'])
        out, skip = [], False
        for a in args:
            if skip:
                skip = False
            elif a == '-o':
                skip = True
            elif a != '-c':
                out.append(a)
        return subprocess.run(out + ['-E'], cwd=entry['directory'], capture_output=True,
                              text=True, errors='replace').stdout

    live = {}
    root = os.path.realpath(root)
    with ThreadPoolExecutor(2) as pool:
        for text in pool.map(preprocess, cmds):
            name, n = None, 0
            for line in text.split('\n'):
                m = re.match(r'# (\d+) "(.*)"', line)
                if m:
                    n, name = int(m.group(1)), m.group(2)
                    continue
                if name is not None and line.strip():
                    live.setdefault(name, set()).add(n)
                n += 1
    out = {}
    for name, lines in live.items():
        p = os.path.realpath(name)
        if p.startswith(root + '/'):
            rel = p[len(root) + 1:]
            if portable(rel):
                out.setdefault(rel, set()).update(lines)
    return out


def blank(text):
    """The text with comments, string and character literals blanked (quotes kept), and a set of
    the lines that belong to preprocessor directives."""
    out, i, n = list(text), 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith('//', i):
            j = text.find('\n', i)
            j = n if j < 0 else j
            for k in range(i, j):
                out[k] = ' '
            i = j
        elif text.startswith('/*', i):
            j = text.find('*/', i + 2)
            j = n if j < 0 else j + 2
            for k in range(i, j):
                if out[k] != '\n':
                    out[k] = ' '
            i = j
        elif c in '"\'':
            j = i + 1
            while j < n and text[j] != c and text[j] != '\n':
                j += 2 if text[j] == '\\' else 1
            for k in range(i + 1, min(j, n)):
                out[k] = ' '
            i = j + 1
        else:
            i += 1
    lines = ''.join(out).split('\n')
    pre, cont = set(), False
    for no, l in enumerate(lines, 1):
        if cont or l.lstrip().startswith('#'):
            pre.add(no)
            cont = l.rstrip().endswith('\\')
    return lines, pre


REL = ['<', '<=', '>', '>=', '==', '!=']
ARITH = ['+', '-', '*', '/', '%']
ARITH_SET = ['+=', '-=', '*=', '/=', '%=']
KEYWORDS_NOT_DECL = {'delete', 'throw', 'return', 'goto', 'case', 'else', 'do', 'co_return'}
DECL = re.compile(r'^\s*(?:(?:const|static|constexpr|inline|unsigned|signed|volatile|struct|enum'
                  r'|typename|mutable|extern|thread_local)\s+)*([A-Za-z_][\w:]*)(?:<.*>)?'
                  r'[\s*&]+[A-Za-z_]\w*\s*(?:=|;|\(|\{|\[|,|:)')
NOT_STATEMENT = re.compile(r'^\s*(return|case|default|for|if|while|else|do|switch|using|typedef|'
                           r'namespace|template|struct|class|enum|union|friend|public|private|'
                           r'protected|static_assert|explicit|virtual|operator)\b')


def operand_before(b, i):
    j = i - 1
    while j >= 0 and b[j] == ' ':
        j -= 1
    return j >= 0 and (b[j].isalnum() or b[j] in '_)]"\'')


def sites_of(rel, text, live):
    """(kind, line, start, end, original token, replacements) for each place in the file."""
    blanked, pre = blank(text)
    orig = text.split('\n')
    found = []
    prev_code = '{'
    for no, (b, o) in enumerate(zip(blanked, orig), 1):
        code = b.strip()
        usable = no in live and no not in pre and code
        if usable:
            for m in re.finditer(r'(?<=\s)(<=|>=|==|!=|<|>)(?=\s)', b):
                if operand_before(b, m.start()):
                    near = b[max(0, m.start() - 9):m.end() + 9]
                    pool = ['==', '!='] if 'nullptr' in near else REL  # pointers have no order
                    found.append(('rel', no, m.start(), m.end(), m.group(1),
                                  [r for r in pool if r != m.group(1)]))
            for m in re.finditer(r'(?<=\s)([-+*/%]=?)(?=\s)', b):
                tok = m.group(1)
                after = b[m.end():].lstrip()[:1]
                if not operand_before(b, m.start()) or after in ('"', '\'') \
                        or b[:m.start()].rstrip().endswith('"'):
                    continue  # text joined with "+" would not compile as anything else
                pool = ARITH_SET if tok.endswith('=') else ARITH
                found.append(('arith', no, m.start(), m.end(), tok, [r for r in pool if r != tok]))
            for m in re.finditer(r'(?<=\s)(&&|\|\|)(?=\s)', b):
                if operand_before(b, m.start()):
                    found.append(('logic', no, m.start(), m.end(), m.group(1),
                                  ['||' if m.group(1) == '&&' else '&&']))
            for m in re.finditer(r'(?<![\w.])(0[xX][0-9a-fA-F]+|\d+)([uUlL]*)(?![\w.])', b):
                found.append(('const', no, m.start(1), m.end(1), m.group(1), None))
            for m in re.finditer(r'\b(if|while)\s*\(', b):
                depth, j = 0, m.end() - 1
                while j < len(b):
                    depth += {'(': 1, ')': -1}.get(b[j], 0)
                    if depth == 0:
                        break
                    j += 1
                if j < len(b):
                    cond = o[m.end():j]
                    found.append(('negate', no, m.end(), j, cond, ['!(' + cond + ')']))
            if (code.endswith(';') and not code.startswith(('}', '{', '++', '--'))
                    and prev_code[-1:] in (';', '{', '}', ':')
                    and not NOT_STATEMENT.match(code) and code.count('(') == code.count(')')
                    and code != ';'):
                m = DECL.match(code)
                if not m or m.group(1) in KEYWORDS_NOT_DECL:
                    found.append(('drop', no, 0, len(o), o, ['']))
            if code.startswith(('++', '--')) and code.endswith(';') and prev_code[-1:] in (';', '{', '}'):
                found.append(('drop', no, 0, len(o), o, ['']))
        if code:
            prev_code = code
    return found


def moved(tok, rng):
    if tok.lower().startswith('0x'):
        v = int(tok, 16)
        v = v + 1 if v == 0 or rng.random() < 0.5 else v - 1
        digits = format(v, 'X' if any(c in 'ABCDEF' for c in tok[2:]) else 'x')
        return tok[:2] + digits.rjust(len(tok) - 2, '0')
    if len(tok) > 1 and tok.startswith('0'):
        return None  # octal: leave it alone
    v = int(tok)
    return str(v + 1 if v == 0 or rng.random() < 0.5 else v - 1)


def pick(root, build, count, seed):
    live = live_lines(root, build)
    by_kind = {}
    for rel in sorted(live):
        text = open(os.path.join(root, rel), encoding='utf-8', errors='surrogateescape').read()
        for s in sites_of(rel, text, live[rel]):
            by_kind.setdefault(s[0], []).append((rel,) + s[1:])
    rng = random.Random(seed)
    used, picked = set(), []
    kinds = sorted(by_kind)
    deal = []
    while len(picked) < count and kinds:
        if not deal:  # every kind once in a shuffled round, so the mix stays even
            deal = [k for k in kinds]
            rng.shuffle(deal)
        kind = deal.pop()
        if kind not in kinds:
            continue
        pool = by_kind[kind]
        rel, no, start, end, tok, options = pool.pop(rng.randrange(len(pool)))
        if not pool:
            kinds.remove(kind)
        if (rel, no) in used:
            continue
        new = moved(tok, rng) if kind == 'const' else rng.choice(options)
        if new is None:
            continue
        line = open(os.path.join(root, rel), encoding='utf-8',
                    errors='surrogateescape').read().split('\n')[no - 1]
        mutated = '' if kind == 'drop' else line[:start] + new + line[end:]
        if mutated.strip() == line.strip():
            continue
        used.add((rel, no))
        picked.append((rel, no, kind, line, mutated))
    for i, (rel, no, kind, line, mutated) in enumerate(picked, 1):
        print(f'r{i:03d}\t{rel}\t{no}\t{kind}\t{line.strip()}\t{mutated.strip()}')


def plant(listfile, want, root):
    for raw in open(listfile, encoding='utf-8', errors='surrogateescape'):
        fid, rel, no, kind, old, new = raw.rstrip('\n').split('\t')
        if fid != want:
            continue
        path = os.path.join(root, rel)
        lines = open(path, encoding='utf-8', errors='surrogateescape').read().split('\n')
        i = int(no) - 1
        if lines[i].strip() != old:
            sys.exit(f'{rel}:{no} is not "{old}"')
        indent = lines[i][:len(lines[i]) - len(lines[i].lstrip())]
        lines[i] = indent + new if new else ''  # a dropped line stays, blank, to keep the numbers
        open(path, 'w', encoding='utf-8', errors='surrogateescape').write('\n'.join(lines))
        return
    sys.exit(f'no fault {want}')


if __name__ == '__main__':
    if sys.argv[1:2] == ['pick'] and len(sys.argv) == 6:
        pick(sys.argv[2], sys.argv[3], int(sys.argv[4]), int(sys.argv[5]))
    elif sys.argv[1:2] == ['plant'] and len(sys.argv) == 5:
        plant(*sys.argv[2:5])
    else:
        sys.exit(__doc__ or 'usage: plant-random.py pick ROOT BUILD N SEED | plant LIST ID ROOT')
