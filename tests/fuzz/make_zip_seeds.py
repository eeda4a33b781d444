#!/usr/bin/env python3
"""Writes the seed archives of the ZIP reader's fuzz target into corpus/zip/.

Each seed is small and shows the fuzzer one part of the format it would take long to
find alone. Run it again only to change the seeds; the fuzz test copies them first.
"""
import io
import os
import struct
import zipfile
import zlib

here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "zip")
os.makedirs(here, exist_ok=True)
DATE = (2024, 3, 1, 12, 0, 0)


def info(name, method=zipfile.ZIP_DEFLATED, system=0, attributes=0x20):
    i = zipfile.ZipInfo(name, DATE)
    i.compress_type = method
    i.create_system = system
    i.external_attr = attributes
    return i


def write(name, build, comment=b""):
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w") as z:
        build(z)
        z.comment = comment
    data = buffer.getvalue()
    with open(os.path.join(here, name), "wb") as f:
        f.write(data)


def folders_stored_deflated(z):
    z.writestr(info("setup/", zipfile.ZIP_STORED, attributes=0x10), b"")
    z.writestr(info("setup/a.txt"), b"alpha " * 40)
    z.writestr(info("b.bin", zipfile.ZIP_STORED), bytes(range(64)))
    z.writestr(info("x/y/z.txt", system=3, attributes=0x81A40000), b"")


def names(z):
    z.writestr(info("\u0421\u043f\u0440\u0430\u0432\u043a\u0430/\u0444.txt"), b"utf-8 flag")
    cp437 = info("\u00fc.txt")  # stored as byte 0x81 without the UTF-8 flag
    cp437.flag_bits = 0
    z.writestr(cp437, b"cp437")
    unicode_path = info("plain.txt")
    unicode_path.extra = struct.pack("<HHBI", 0x7075, 5 + 4, 1, zlib.crc32(b"plain.txt")) + b"\xd1\x8f.tx"
    z.writestr(unicode_path, b"record")




write("folders_stored_deflated.zip", folders_stored_deflated)
write("names_utf8_cp437_unicode_path.zip", names)
write("comment_with_end_signature.zip", lambda z: z.writestr(info("a.txt"), b"a"),
      comment=b"note PK\x05\x06 inside")
write("empty_archive.zip", lambda z: None)


class Unseekable(io.RawIOBase):
    def __init__(self):
        self.data = bytearray()

    def writable(self):
        return True

    def write(self, b):
        self.data += b
        return len(b)


stream = Unseekable()
with zipfile.ZipFile(stream, "w") as z:
    z.writestr(info("streamed.txt"), b"descriptor " * 20)
    z.writestr(info("empty.txt"), b"")
with open(os.path.join(here, "data_descriptors.zip"), "wb") as f:
    f.write(bytes(stream.data))

# One encrypted (flag bit 0) and one Deflate64 (method 9) entry, patched into place.
buffer = io.BytesIO()
with zipfile.ZipFile(buffer, "w") as z:
    z.writestr(info("secret.txt", zipfile.ZIP_STORED), b"ciphertext")
    z.writestr(info("big.bin", zipfile.ZIP_STORED), b"deflate64")
data = bytearray(buffer.getvalue())
for signature, flag_at, method_at in ((b"PK\x03\x04", 6, 8), (b"PK\x01\x02", 8, 10)):
    first = data.find(signature)
    second = data.find(signature, first + 4)
    data[first + flag_at] |= 0x01
    data[second + method_at] = 9
with open(os.path.join(here, "encrypted_and_deflate64.zip"), "wb") as f:
    f.write(bytes(data))
