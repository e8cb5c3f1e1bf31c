#!/usr/bin/env python3
"""Puts the stand-in installer, signed, where the local deployment downloads it from, and
beside it the copies the installer check must refuse.

    sign_installer.py CA_DIR KEY STANDIN WWW

CA_DIR holds the code-signing certificates of tests/harness/make-test-ca.sh, KEY is the committed
test signing key. Written under WWW/data-recovery/: vandrel-for-win.exe (and the -jp and -cn
names the Japanese and Chinese texts use), signed with the pinned key, and in refused/ one copy
per reason: unsigned, changed-byte, appended-bytes, unpinned-key, untrusted-authority,
no-code-signing, empty and text. Under WWW/slow-site/data-recovery/, which nginx sends slowly, a
vandrel-for-win.exe of some MiB for downloads that must last: the stand-in with pattern bytes
after its sections, signed after them, so the signature still ends the file. Under
WWW/data-recovery/not-a-program/, the signed library_standin.dll (beside STANDIN) as
vandrel-for-win.exe: it passes the check, but the system cannot start it.
"""
import os
import shutil
import struct
import subprocess
import sys

SLOW_SIZE = 4 * 1024 * 1024  # bytes of the slow site's installer before its signature


def sign(standin, certificate, key, target):
    # osslsigncode refuses to write over an existing file.
    if os.path.exists(target):
        os.remove(target)
    subprocess.run(["osslsigncode", "sign", "-certs", certificate, "-key", key, "-h", "sha256",
                    "-n", "Vandrel Data Recovery", "-in", standin, "-out", target],
                   check=True, stdout=subprocess.DEVNULL)


def first_section_data(image):
    """File offset of the first section's bytes: the program's code."""
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    optional_size = struct.unpack_from("<H", image, pe + 20)[0]
    section = pe + 24 + optional_size
    return struct.unpack_from("<I", image, section + 20)[0]


def main(ca, key, standin, www):
    site = os.path.join(www, "data-recovery")
    refused = os.path.join(site, "refused")
    os.makedirs(refused, exist_ok=True)
    signed = os.path.join(site, "vandrel-for-win.exe")
    sign(standin, os.path.join(ca, "codesign.pem"), key, signed)
    for suffix in ("-jp", "-cn"):
        shutil.copyfile(signed, os.path.join(site, "vandrel-for-win%s.exe" % suffix))

    shutil.copyfile(standin, os.path.join(refused, "unsigned.exe"))
    with open(signed, "rb") as f:
        image = bytearray(f.read())
    changed = bytearray(image)
    changed[first_section_data(image) + 0x100] ^= 0xFF
    copies = {
        "changed-byte.exe": bytes(changed),
        "appended-bytes.exe": bytes(image) + b"bytes after the signature",
        "empty.exe": b"",
        "text.exe": b"This is a text file, not a program.\r\n",
    }
    for name, content in copies.items():
        with open(os.path.join(refused, name), "wb") as f:
            f.write(content)
    sign(standin, os.path.join(ca, "codesign-unpinned.pem"), os.path.join(ca, "codesign-unpinned.key"),
         os.path.join(refused, "unpinned-key.exe"))
    sign(standin, os.path.join(ca, "codesign-untrusted.pem"), key, os.path.join(refused, "untrusted-authority.exe"))
    sign(standin, os.path.join(ca, "codesign-no-usage.pem"), key, os.path.join(refused, "no-code-signing.exe"))

    slow = os.path.join(www, "slow-site", "data-recovery")
    os.makedirs(slow, exist_ok=True)
    padded = os.path.join(slow, "padded.exe")
    with open(standin, "rb") as f:
        program = f.read()
    with open(padded, "wb") as f:
        f.write(program + (bytes(range(251)) * (SLOW_SIZE // 251 + 1))[:SLOW_SIZE - len(program)])
    sign(padded, os.path.join(ca, "codesign.pem"), key, os.path.join(slow, "vandrel-for-win.exe"))
    os.remove(padded)

    not_a_program = os.path.join(site, "not-a-program")
    os.makedirs(not_a_program, exist_ok=True)
    sign(os.path.join(os.path.dirname(standin), "library_standin.dll"), os.path.join(ca, "codesign.pem"), key,
         os.path.join(not_a_program, "vandrel-for-win.exe"))


if __name__ == "__main__":
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    main(*sys.argv[1:])
