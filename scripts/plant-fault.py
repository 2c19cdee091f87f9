#!/usr/bin/env python3
# Plants one fault of a fault list in a tree: plant-fault.py FAULT_FILE ID ROOT.
# A fault is "id|file|exact line text|replacement" ("\\|" stands for a "|"); the line text must
# occur exactly once in the file, leading blanks aside; an empty replacement drops the line.
# Prints the file's path; exit status 1 when the fault or its line is not found once.
import re, sys
faults, want, root = sys.argv[1:4]
for raw in open(faults):
    raw = raw.rstrip('\n')
    if not raw or raw.startswith('#'):
        continue
    fid, path, old, new = [f.replace('\x00', '|') for f in raw.replace('\\|', '\x00').split('|')]
    if fid != want:
        continue
    print(path)
    lines = open(f"{root}/{path}").read().split('\n')
    hits = [i for i, l in enumerate(lines) if l.strip() == old.strip()]
    if len(hits) != 1:
        sys.exit(1)
    i = hits[0]
    indent = lines[i][:len(lines[i]) - len(lines[i].lstrip())]
    lines[i] = indent + new.strip() if new.strip() else None
    open(f"{root}/{path}", 'w').write('\n'.join(l for l in lines if l is not None))
    sys.exit(0)
sys.exit(1)
