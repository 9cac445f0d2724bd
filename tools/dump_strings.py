#!/usr/bin/env python3
"""Lists the string table of a compiled language package (.res from windres or the
built .dll), and the other resources it holds, to check a package without Windows.

  python3 tools/dump_strings.py Language/German.dll                 all strings
  python3 tools/dump_strings.py de.res 100 10019 1601               chosen items
  python3 tools/dump_strings.py --check de.dll                      limits and encoding

Texts are shown as the program fetches them: in the ANSI code page (cp1252 by default,
--codepage to change). --check fails (exit 1) when an item cannot be represented in that
code page or is longer than the 254 characters the program reads.
"""
import argparse
import struct
import sys

RT_STRING = 6
MAX_ITEM = 254


class Reader:
    """Bounded little-endian reads; every overrun is an error with a reason."""

    def __init__(self, data):
        self.data = data

    def need(self, off, n):
        if off < 0 or n < 0 or off + n > len(self.data):
            raise ValueError(f'truncated: {n} bytes at {off} of {len(self.data)}')

    def u16(self, off):
        self.need(off, 2)
        return struct.unpack_from('<H', self.data, off)[0]

    def u32(self, off):
        self.need(off, 4)
        return struct.unpack_from('<I', self.data, off)[0]

    def bytes(self, off, n):
        self.need(off, n)
        return self.data[off:off + n]


def res_entries(data):
    """(type, name, language, payload) of every resource in a .res file."""
    r = Reader(data)
    off = 0
    out = []

    def name_or_id(pos):
        if r.u16(pos) == 0xFFFF:
            return r.u16(pos + 2), pos + 4
        end = pos
        while r.u16(end) != 0:
            end += 2
        return r.bytes(pos, end - pos).decode('utf-16-le'), end + 2

    while off + 8 <= len(data):
        size, header = r.u32(off), r.u32(off + 4)
        if header < 16:
            raise ValueError(f'bad resource header size {header} at {off}')
        rtype, pos = name_or_id(off + 8)
        rname, pos = name_or_id(pos)
        pos = (pos + 3) & ~3
        lang = r.u16(pos + 6)
        payload = r.bytes(off + header, size)
        if not (rtype == 0 and rname == 0):  # the empty leading entry
            out.append((rtype, rname, lang, payload))
        off = (off + header + size + 3) & ~3
    return out


def pe_entries(data):
    """(type, name, language, payload) of every resource in a PE module."""
    r = Reader(data)
    pe = r.u32(0x3C)
    if r.bytes(pe, 4) != b'PE\0\0':
        raise ValueError('not a PE file')
    nsec = r.u16(pe + 6)
    optsize = r.u16(pe + 20)
    opt = pe + 24
    magic = r.u16(opt)
    dirs = opt + (96 if magic == 0x10B else 112)
    ndirs = r.u32(dirs - 4)
    if ndirs < 3:
        return []
    rsrc_rva = r.u32(dirs + 16)
    sections = []
    for i in range(nsec):
        s = opt + optsize + 40 * i
        vsize, va, rawsize, rawptr = r.u32(s + 8), r.u32(s + 12), r.u32(s + 16), r.u32(s + 20)
        sections.append((va, max(vsize, rawsize), rawptr))

    def file_off(rva):
        for va, size, raw in sections:
            if va <= rva < va + size:
                return raw + rva - va
        raise ValueError(f'RVA {rva:#x} outside every section')

    base = file_off(rsrc_rva)

    def name_at(off):
        n = r.u16(base + off)
        return r.bytes(base + off + 2, 2 * n).decode('utf-16-le')

    def directory(off, depth):
        if depth > 3:
            raise ValueError('resource directory nested too deep')
        named, ids = r.u16(base + off + 12), r.u16(base + off + 14)
        for i in range(named + ids):
            e = base + off + 16 + 8 * i
            key, target = r.u32(e), r.u32(e + 4)
            key = name_at(key & 0x7FFFFFFF) if key & 0x80000000 else key
            yield key, target

    out = []
    for rtype, t in directory(0, 0):
        for rname, n in directory(t & 0x7FFFFFFF, 1):
            for lang, d in directory(n & 0x7FFFFFFF, 2):
                if d & 0x80000000:
                    raise ValueError('unexpected fourth directory level')
                rva, size = r.u32(base + d), r.u32(base + d + 4)
                out.append((rtype, rname, lang, r.bytes(file_off(rva), size)))
    return out


def entries(data):
    if data[:2] == b'MZ':
        return pe_entries(data)
    if data[:8] != b'\0\0\0\0\x20\0\0\0':
        raise ValueError('neither a PE module nor a .res file (windres -O res); '
                         'COFF objects (-O coff) are not read')
    return res_entries(data)


def string_items(res):
    """item number -> text from every RT_STRING block (block b holds items 16(b-1) .. +15)."""
    items = {}
    for rtype, rname, _lang, payload in res:
        if rtype != RT_STRING:
            continue
        if not isinstance(rname, int) or rname == 0:
            raise ValueError(f'string block with bad id {rname!r}')
        r = Reader(payload)
        pos = 0
        for k in range(16):
            n = r.u16(pos)
            text = r.bytes(pos + 2, 2 * n).decode('utf-16-le')
            pos += 2 + 2 * n
            if n:
                items[(rname - 1) * 16 + k] = text
    return items


def main(argv):
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument('file')
    ap.add_argument('items', nargs='*', type=int)
    ap.add_argument('--codepage', default='cp1252')
    ap.add_argument('--check', action='store_true')
    ap.add_argument('--resources', action='store_true', help='list every resource, not the strings')
    args = ap.parse_args(argv)

    try:
        with open(args.file, 'rb') as f:
            res = entries(f.read())
    except (OSError, ValueError) as e:
        print(f'{args.file}: {e}', file=sys.stderr)
        return 2
    if args.resources:
        for rtype, rname, lang, payload in res:
            print(f'type={rtype!r} name={rname!r} lang={lang:#06x} size={len(payload)}')
        return 0

    items = string_items(res)
    bad = 0
    for num in (args.items or sorted(items)):
        if num not in items:
            print(f'{num}: <missing>')
            bad += 1
            continue
        text = items[num]
        try:
            ansi = text.encode(args.codepage)
        except UnicodeEncodeError:
            print(f'{num}: not representable in {args.codepage}: {text!r}')
            bad += 1
            continue
        if len(ansi) > MAX_ITEM:
            print(f'{num}: {len(ansi)} bytes, longer than {MAX_ITEM}')
            bad += 1
        if not args.check:
            print(f'{num}: {text!r}  [{ansi.hex(" ") if not ansi.isascii() else "ascii"}]')
    if args.check:
        print(f'{len(items)} items, {bad} problems')
    return 1 if bad else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
