#!/usr/bin/env python3
"""Fails when a link in one of the project's Markdown files points at nothing: a file that does not
exist, or an anchor (#heading) that no heading of the target page makes. Checks the files git knows.

    python3 scripts/check-links.py
"""
import re
import subprocess
import sys
from pathlib import Path

LINK = re.compile(r'!?\[[^\]]*\]\(([^)\s]+)\)')
HEADING = re.compile(r'^#{1,6}\s+(.*?)\s*#*\s*$')


def slug(heading):
    # GitHub's anchors: lower case, punctuation dropped, spaces become hyphens.
    text = re.sub(r'[`*_]', '', heading).strip().lower()
    text = re.sub(r'[^\w\- ]', '', text)
    return text.replace(' ', '-')


def anchors(page):
    found, fenced = set(), False
    for line in page.read_text(encoding='utf-8').splitlines():
        if line.startswith('```'):
            fenced = not fenced
        match = None if fenced else HEADING.match(line)
        if match:
            found.add(slug(match.group(1)))
    return found


def main():
    root = Path(__file__).resolve().parent.parent
    pages = subprocess.run(['git', 'ls-files', '*.md'], cwd=root, capture_output=True, text=True,
                           check=True).stdout.split()
    broken = []
    for name in pages:
        page = root / name
        text = re.sub(r'```.*?```', '', page.read_text(encoding='utf-8'), flags=re.S)
        for target in LINK.findall(text):
            if re.match(r'[a-z]+:', target):
                continue
            path, _, anchor = target.partition('#')
            destination = (page.parent / path).resolve() if path else page
            if not destination.exists():
                broken.append(f'{name}: {target}: no such file')
            elif anchor and destination.suffix == '.md' and anchor not in anchors(destination):
                broken.append(f'{name}: {target}: no such heading')
    for line in broken:
        print(f'check-links: {line}', file=sys.stderr)
    if broken:
        return 1
    print(f'check-links: the links of {len(pages)} pages resolve')
    return 0


if __name__ == '__main__':
    sys.exit(main())
