#!/usr/bin/env python3
"""The release's reproducible steps: the same commit gives the same bytes, wherever and
whenever it is built. Times come from SOURCE_DATE_EPOCH, or else from the commit.

  release.py chm-stamp SOURCE_DIR FILE.chm
      chmcmd writes the time of day it ran into two fields that nothing reads back (the
      ITSF header's and the #SYSTEM file's first entry): both get the commit's.
  release.py zip SOURCE_DIR OUT.zip FILE...
      OUT.zip holding FILE... at its top, in name order, with the commit's time and fixed
      attributes; OUT.zip.sha256 beside it, in the form `sha256sum -c` reads.
"""
import hashlib
import os
import struct
import subprocess
import sys
import time
import zipfile


def source_date_epoch(source_dir):
    text = os.environ.get("SOURCE_DATE_EPOCH", "")
    if not text:
        try:
            text = subprocess.run(["git", "-C", source_dir, "log", "-1", "--format=%ct"],
                                  capture_output=True, text=True, check=True).stdout.strip()
        except (OSError, subprocess.CalledProcessError):
            text = ""
    if not text.isdigit():
        sys.exit("release.py: no SOURCE_DATE_EPOCH and no git commit in " + source_dir +
                 ": set SOURCE_DATE_EPOCH to the release's time (seconds since 1970)")
    # A zip cannot hold a time before 1980.
    return max(int(text), 315532800)


def encint(data, i):
    value = 0
    while True:
        byte = data[i]
        i += 1
        value = value << 7 | (byte & 0x7F)
        if byte < 0x80:
            return value, i


def directory_entry(data, name):
    """Section and offset of file `name` in the CHM's directory (its PMGL chunks)."""
    dir_offset = struct.unpack_from("<Q", data, 0x48)[0]
    if data[dir_offset:dir_offset + 4] != b"ITSP":
        raise ValueError("no ITSP directory header")
    chunk_size = struct.unpack_from("<I", data, dir_offset + 0x10)[0]
    chunks = struct.unpack_from("<I", data, dir_offset + 0x2C)[0]
    first = dir_offset + 0x54
    for c in range(chunks):
        chunk = data[first + c * chunk_size:first + (c + 1) * chunk_size]
        if chunk[:4] != b"PMGL":
            continue
        end = chunk_size - struct.unpack_from("<I", chunk, 4)[0]
        i = 0x14
        while i < end:
            length, i = encint(chunk, i)
            entry = chunk[i:i + length]
            i += length
            section, i = encint(chunk, i)
            offset, i = encint(chunk, i)
            _, i = encint(chunk, i)
            if entry == name:
                return section, offset
    raise ValueError("no " + name.decode() + " in the directory")


def chm_stamp(source_dir, path):
    epoch = source_date_epoch(source_dir)
    ms_of_day = epoch % 86400 * 1000
    data = bytearray(open(path, "rb").read())
    if data[:4] != b"ITSF" or struct.unpack_from("<I", data, 4)[0] != 3:
        sys.exit(path + ": not a version 3 ITSF (CHM) file")
    try:
        section, offset = directory_entry(data, b"/#SYSTEM")
    except ValueError as e:
        sys.exit(path + ": " + str(e))
    content = struct.unpack_from("<Q", data, 0x58)[0]
    system = content + offset
    # #SYSTEM: a version dword, then entries (code, length, data); chmcmd's first is code 10,
    # four bytes of time. Anything else is a chmcmd this script does not know.
    if section != 0 or struct.unpack_from("<HH", data, system + 4) != (10, 4):
        sys.exit(path + ": #SYSTEM does not start with the time entry chmcmd writes")
    struct.pack_into(">I", data, 0x10, ms_of_day)
    struct.pack_into("<I", data, system + 8, ms_of_day)
    open(path, "wb").write(data)


def make_zip(source_dir, out, files):
    stamp = time.gmtime(source_date_epoch(source_dir))[:6]
    tmp = out + ".tmp"
    with zipfile.ZipFile(tmp, "w") as archive:
        for path in sorted(files, key=os.path.basename):
            info = zipfile.ZipInfo(os.path.basename(path), date_time=stamp)
            info.create_system = 0          # MS-DOS attributes, the same on every build host
            info.external_attr = 0x20       # "archive", as Windows sets on a new file
            info.compress_type = zipfile.ZIP_DEFLATED
            with open(path, "rb") as f:
                archive.writestr(info, f.read(), compresslevel=9)
    os.replace(tmp, out)
    digest = hashlib.sha256(open(out, "rb").read()).hexdigest()
    with open(out + ".sha256", "w", newline="\n") as f:
        f.write(digest + "  " + os.path.basename(out) + "\n")


def main(argv):
    if len(argv) == 4 and argv[1] == "chm-stamp":
        chm_stamp(argv[2], argv[3])
    elif len(argv) >= 5 and argv[1] == "zip":
        make_zip(argv[2], argv[3], argv[4:])
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv)
