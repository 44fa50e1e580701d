#!/usr/bin/env python3
"""Reads what the release checks need from a Windows program file.

    pe.py resource FILE TYPE NAME   writes the data of that resource to stdout
    pe.py where FILE TYPE NAME      prints its file offset and size
    pe.py signed FILE               exit status 0 when FILE carries a signature

TYPE and NAME are numbers (16 is RT_VERSION) or strings such as APPL; the first
language found is taken, as the programs themselves find their resources.
"""
import struct
import sys

SECURITY_DIRECTORY = 4
RESOURCE_DIRECTORY = 2


class Image:
    def __init__(self, data):
        self.data = data
        pe = self.u32(0x3C)
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE file")
        sections = self.u16(pe + 6)
        optional = pe + 24
        directories = {0x10B: 96, 0x20B: 112}.get(self.u16(optional))
        if directories is None:
            raise ValueError("no PE optional header")
        self.directories = optional + directories
        table = optional + self.u16(pe + 20)
        self.sections = [struct.unpack_from("<IIII", data, table + 40 * i + 8)
                         for i in range(sections)]

    def u16(self, offset):
        return struct.unpack_from("<H", self.data, offset)[0]

    def u32(self, offset):
        return struct.unpack_from("<I", self.data, offset)[0]

    def directory(self, index):
        return struct.unpack_from("<II", self.data, self.directories + 8 * index)

    def offset_of(self, rva):
        for size, address, raw_size, raw_offset in self.sections:
            if address <= rva < address + max(size, raw_size):
                return raw_offset + rva - address
        raise ValueError(f"address {rva:#x} lies in no section")

    def entries(self, table, root):
        named, numbered = struct.unpack_from("<HH", self.data, table + 12)
        for i in range(named + numbered):
            name, target = struct.unpack_from("<II", self.data, table + 16 + 8 * i)
            if name & 0x80000000:
                at = root + (name & 0x7FFFFFFF)
                length = self.u16(at)
                name = self.data[at + 2:at + 2 + 2 * length].decode("utf-16-le")
            yield name, target

    def resource(self, kind, name):
        rva, _ = self.directory(RESOURCE_DIRECTORY)
        if not rva:
            raise ValueError("no resources")
        root = self.offset_of(rva)
        table = root
        for wanted in (kind, name, None):
            for key, target in self.entries(table, root):
                if wanted is None or key == wanted:
                    break
            else:
                raise ValueError(f"no resource {kind} {name}")
            if not target & 0x80000000:
                data_rva, size = struct.unpack_from("<II", self.data, root + target)
                return self.offset_of(data_rva), size
            table = root + (target & 0x7FFFFFFF)
        raise ValueError(f"resource {kind} {name} is malformed")


def identifier(text):
    return int(text) if text.isdigit() else text.upper()


def main(argv):
    if len(argv) == 5 and argv[1] in ("resource", "where"):
        image = Image(open(argv[2], "rb").read())
        offset, size = image.resource(identifier(argv[3]), identifier(argv[4]))
        if argv[1] == "where":
            print(offset, size)
        else:
            sys.stdout.buffer.write(image.data[offset:offset + size])
        return 0
    if len(argv) == 3 and argv[1] == "signed":
        return 0 if Image(open(argv[2], "rb").read()).directory(SECURITY_DIRECTORY)[1] else 1
    print(__doc__.strip(), file=sys.stderr)
    return 2


if __name__ == "__main__":
    try:
        sys.exit(main(sys.argv))
    except (OSError, ValueError, struct.error) as error:
        print(f"pe.py: {error}", file=sys.stderr)
        sys.exit(2)
