#!/usr/bin/env python3
"""The configure step's reading of KALVERA_PAYLOAD_KEY (tools/payload_key_header.py),
one row per kind of file a vendor might hand it. Keys are made here with openssl, and the
expected coordinates are read from openssl's own dump of each key."""
import base64
import os
import re
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
SCRIPT = os.path.join(HERE, "..", "..", "tools", "payload_key_header.py")


def openssl(*args, stdin=None):
    return subprocess.run(["openssl", *args], input=stdin, check=True, capture_output=True).stdout


def public_point(pem):
    """04 || X || Y as openssl prints it."""
    text = openssl("ec", "-pubin", "-noout", "-text", stdin=pem).decode()
    hexes = re.search(r"pub:\s*((?:[0-9a-f]{2}:?\s*)+)", text).group(1)
    return bytes.fromhex(re.sub(r"[:\s]", "", hexes))


def pem_of(der):
    body = base64.b64encode(der).decode()
    lines = [body[i:i + 64] for i in range(0, len(body), 64)]
    return ("-----BEGIN PUBLIC KEY-----\n" + "\n".join(lines) + "\n-----END PUBLIC KEY-----\n").encode()


class PayloadKeyHeader(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.mkdtemp()
        cls.private = openssl("ecparam", "-name", "prime256v1", "-genkey", "-noout")
        cls.public = openssl("ec", "-pubout", stdin=cls.private)
        cls.second = openssl("ec", "-pubout", stdin=openssl("ecparam", "-name", "prime256v1", "-genkey", "-noout"))

    def write(self, name, data):
        path = os.path.join(self.dir, name)
        with open(path, "wb") as f:
            f.write(data)
        return path

    def run_script(self, *keys):
        out = os.path.join(self.dir, "payload_keys.h")
        if os.path.exists(out):
            os.remove(out)
        result = subprocess.run([sys.executable, SCRIPT, out, *keys], capture_output=True, text=True)
        header = open(out).read() if os.path.exists(out) else None
        return result.returncode, result.stderr, header

    def test_takes_each_public_key_as_its_raw_coordinates(self):
        for what, keys in [("one key", [self.public]), ("a key and its successor", [self.public, self.second])]:
            with self.subTest(what):
                paths = [self.write("k%d.pem" % i, k) for i, k in enumerate(keys)]
                code, err, header = self.run_script(*paths)
                self.assertEqual(code, 0, err)
                self.assertIn("std::array<PayloadKey, %d>" % len(keys), header)
                found = [bytes(int(b, 16) for b in re.findall(r"0x([0-9a-f]{2})", row))
                         for row in re.findall(r"PayloadKey\{(.*?)\}\},", header, re.S)]
                self.assertEqual(found, [public_point(k)[1:] for k in keys])

    def test_no_key_gives_an_empty_list(self):
        code, err, header = self.run_script()
        self.assertEqual(code, 0, err)
        self.assertIn("std::array<PayloadKey, 0>", header)

    def test_refuses_every_file_that_is_no_p256_public_key(self):
        der = base64.b64decode(b"".join(self.public.split(b"\n")[1:-2]))
        off_curve = der[:-1] + bytes([der[-1] ^ 1])
        p384 = openssl("ec", "-pubout", stdin=openssl("ecparam", "-name", "secp384r1", "-genkey", "-noout"))
        compressed = openssl("ec", "-pubout", "-conv_form", "compressed", stdin=self.private)
        rsa = openssl("pkey", "-pubout", stdin=openssl("genpkey", "-algorithm", "RSA", "-pkeyopt", "rsa_keygen_bits:1024"))
        rows = [
            ("the private key", self.private, "not one PEM block \"PUBLIC KEY\""),
            ("a P-384 key", p384, "not an ECDSA key on the curve P-256"),
            ("an RSA key", rsa, "not an ECDSA key on the curve P-256"),
            ("a compressed point", compressed, "not in the uncompressed form"),
            ("a point off the curve", pem_of(off_curve), "not on the curve P-256"),
            ("bytes after the key", pem_of(der + b"\x00"), "not in the uncompressed form"),
            ("two keys in one file", self.public + self.second, "not one PEM block"),
            ("text after the block", self.public + b"trailing\n", "holds text besides the key"),
            ("damaged base64", self.public.replace(b"M", b"*", 1), "not one PEM block"),
            ("an empty file", b"", "not one PEM block"),
        ]
        for what, data, message in rows:
            with self.subTest(what):
                good = self.write("good.pem", self.public)
                code, err, header = self.run_script(good, self.write("bad.pem", data))
                self.assertEqual(code, 1)
                self.assertIn("bad.pem", err)
                self.assertIn(message, err)
                self.assertIsNone(header, "no header from a refused list")
        code, err, _ = self.run_script(os.path.join(self.dir, "missing.pem"))
        self.assertEqual(code, 1)
        self.assertIn("cannot read", err)


if __name__ == "__main__":
    unittest.main()
