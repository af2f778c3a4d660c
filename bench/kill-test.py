#!/usr/bin/env python3
"""Kills qelbat at random moments and checks that nothing was lost, doubled or cut short.

    bench/kill-test.py [-b BUILD] [-n EMAILS] [-t TRIALS] [-s SEED] [-w WORK] [-k]

A store of generated e-mails (bench/generate-store.py) is worked on by jobs that save attachments
and replace them by shortcuts, move the e-mails to another folder and back, and delete them (into
"Deleted Items", from where the next job moves them back). Each trial starts one job, kills it
with SIGKILL after a random part of the time that job takes, and checks the store:

- every Message-ID of the generated store is in exactly one message file of all folders (none
  lost, none duplicated);
- every message file is whole: byte for byte a generated one, or, where attachments became
  shortcuts, a MIME message that ends with its closing boundary and parses without defects;
- every shortcut in a message points to a file that exists and holds the bytes of one of the
  attachments that the generated message carried (for an attached e-mail, saved as .msg: a whole
  compound file).

Then the job runs again to its end, and the store is checked once more, with one check added: no
temporary file of ours is left in any tmp/ folder, beside the saved attachments or beside the
shortcut files. The store is made anew before each save job, so that every save has attachments
to save. The last line sums up: trials, kills (trials whose job was still running when killed),
lost, duplicated, half-written, bad shortcuts and left temporary files; the exit code is 0 when
all but the first two are 0.
"""

import argparse
import email
import email.policy
import hashlib
import os
import random
import re
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
COMPOUND_FILE = bytes.fromhex("D0CF11E0A1B11AE1")
MESSAGE_ID = re.compile(rb"^Message-ID:\s*(<[^>\r\n]*>)", re.IGNORECASE | re.MULTILINE)


def hexid(text):
    return text.encode("utf-8").hex().upper()


def source(folder):
    full = " \\ ".join(["Mailbox"] + folder.split("/"))
    return (f"[Source]\nSource=1\nEntry={hexid(folder)}\nStore={hexid('Mailbox')}\n"
            f"FullName={full}\nInclSubFolders=1\n")


def move_to(folder):
    return (f"[MoveEmails]\nActive=1\nEntry={hexid(folder)}\nStore={hexid('Mailbox')}\n"
            f"FullName=Mailbox \\ {folder}\nMask=\n")


def jobs(work):
    att = work / "attachments"
    save = source("Inbox") + (f"[SaveAttachments]\nActive=1\nDestPath={att}\nMask=[FE]\nDuplicateMode=0\n"
                              "AfterSaveMode=1\nSaveOnlyIfSize=0\nRecurseMSG=0\n")
    return [("save", save), ("move", source("Inbox") + move_to("Moved")),
            ("move back", source("Moved") + move_to("Inbox")),
            ("delete", source("Inbox") + "[DeleteEmails]\nActive=1\n"),
            ("undelete", source("Deleted Items") + move_to("Inbox"))]


def header_block(data):
    end = re.search(rb"\r?\n\r?\n", data)
    return data[:end.end()] if end else data


def message_id(data):
    found = MESSAGE_ID.search(header_block(data))
    return found.group(1) if found else None


def attachment_hashes(data):
    msg = email.message_from_bytes(data, policy=email.policy.compat32)
    return {hashlib.sha256(part.get_payload(decode=True) or b"").hexdigest()
            for part in msg.walk() if not part.is_multipart() and part.get_filename()}


def utf16_at(data, at):
    end = at
    while end + 1 < len(data) and data[end:end + 2] != b"\0\0":
        end += 2
    return data[at:end].decode("utf-16-le")


def link_target(data):
    """The local path a shell link points to (its LinkInfo's local base path)."""
    flags = struct.unpack_from("<I", data, 0x14)[0]
    pos = 0x4C
    if flags & 1:
        pos += 2 + struct.unpack_from("<H", data, pos)[0]
    if not flags & 2:
        return None
    header_size = struct.unpack_from("<I", data, pos + 4)[0]
    if header_size >= 0x24:
        return utf16_at(data, pos + struct.unpack_from("<I", data, pos + 0x1C)[0])
    start = pos + struct.unpack_from("<I", data, pos + 0x10)[0]
    return data[start:data.index(b"\0", start)].decode("latin-1")


class Store:
    """The message files of a store and what is wrong with them."""

    def __init__(self, root, originals):
        self.root, self.originals = root, originals
        self.parsed = {}  # digest of a changed file -> (whole, shortcut targets)

    def maildirs(self):
        return [d for d in self.root.rglob("*") if d.is_dir() and (d / "cur").is_dir()]

    def files(self):
        for d in self.maildirs():
            for sub in ("cur", "new"):
                yield from (p for p in (d / sub).iterdir() if p.is_file())

    def parse(self, data, digest):
        """Whether a changed message file is a whole MIME message, and the targets of its shortcuts."""
        if digest not in self.parsed:
            msg = email.message_from_bytes(data, policy=email.policy.compat32)
            boundary = msg.get_boundary()
            whole = not (boundary and f"--{boundary}--".encode() not in data) and \
                not any(part.defects for part in msg.walk())
            targets = [link_target(part.get_payload(decode=True) or b"") for part in msg.walk()
                       if not part.is_multipart() and (part.get_filename() or "").lower().endswith(".qel")]
            self.parsed[digest] = (whole, targets)
        return self.parsed[digest]

    def bad_shortcuts(self, targets, mid):
        bad = 0
        for target in targets:
            try:
                content = Path(target).read_bytes()
            except (OSError, TypeError):
                bad += 1
                continue
            if target.lower().endswith(".msg"):
                # An attached e-mail is saved as a .msg file: a whole compound file.
                bad += not (content.startswith(COMPOUND_FILE) and len(content) % 512 == 0)
            else:
                bad += hashlib.sha256(content).hexdigest() not in self.originals[mid][1]
        return bad

    def check(self):
        seen, faults = {}, {"lost": 0, "duplicated": 0, "half-written": 0, "bad shortcuts": 0}
        for path in self.files():
            data = path.read_bytes()
            mid, digest = message_id(data), hashlib.sha256(data).hexdigest()
            changed = mid in self.originals and digest != self.originals[mid][0]
            whole, targets = self.parse(data, digest) if changed else (True, [])
            if mid not in self.originals or not whole:
                faults["half-written"] += 1
                continue
            seen[mid] = seen.get(mid, 0) + 1
            faults["bad shortcuts"] += self.bad_shortcuts(targets, mid)
        faults["lost"] = sum(1 for mid in self.originals if mid not in seen)
        faults["duplicated"] = sum(n - 1 for n in seen.values())
        return faults


def left_temporaries(dirs):
    return [p for d in dirs if d.is_dir() for p in d.iterdir() if p.name.startswith(".trovanta-")]


class Bench:
    def __init__(self, args):
        self.build = Path(args.build).resolve()
        self.work = Path(args.work or tempfile.mkdtemp(prefix="kill-test-")).resolve()
        self.rng = random.Random(args.seed)
        self.template, self.store = self.work / "template", self.work / "store"
        self.env = dict(os.environ, TROVANTA_HOME=str(self.work / "home"), MAILDIR=str(self.store),
                        TMPDIR=str(self.work / "tmp"), LC_ALL="C.UTF-8")
        self.shortcuts = self.work / "tmp" / f"trovanta-{os.geteuid()}" / "Trovanta"
        self.jobs = []
        self.durations = {}

    def setup(self, count, seed):
        for d in ("home", "tmp", "jobs"):
            (self.work / d).mkdir(parents=True, exist_ok=True)
        for lib in ("libtrovanta_outlook.so", "libtrovanta_qelutils.so"):
            subprocess.run([str(self.build / "bin" / "regsvr"), str(self.build / "lib" / lib)], env=self.env,
                           check=True, capture_output=True)
        subprocess.run([sys.executable, str(HERE / "generate-store.py"), str(self.template), str(count),
                        "--seed", str(seed)], check=True, capture_output=True)
        for folder in ("Moved", "Deleted Items"):
            for sub in ("cur", "new", "tmp"):
                (self.template / folder / sub).mkdir(parents=True, exist_ok=True)
        originals = {}
        for path in Store(self.template, {}).files():
            data = path.read_bytes()
            originals[message_id(data)] = (hashlib.sha256(data).hexdigest(), attachment_hashes(data))
        self.checker = Store(self.store, originals)
        for name, text in jobs(self.work):
            job = self.work / "jobs" / (name.replace(" ", "-") + ".qef")
            job.write_bytes(text.replace("\n", "\r\n").encode("utf-8"))
            self.jobs.append((name, job))

    def fresh_store(self):
        shutil.rmtree(self.store, ignore_errors=True)
        shutil.rmtree(self.work / "attachments", ignore_errors=True)
        shutil.rmtree(self.shortcuts, ignore_errors=True)
        shutil.copytree(self.template, self.store, symlinks=True)

    def start(self, job):
        return subprocess.Popen([str(self.build / "bin" / "qelbat"), str(job), "/quiet"], env=self.env,
                                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)

    def duration(self, name, job):
        """How long the job takes on a fresh store (measured once per job)."""
        if name not in self.durations:
            self.fresh_store()
            for earlier, earlier_job in self.jobs:
                began = time.monotonic()
                self.start(earlier_job).communicate()
                self.durations.setdefault(earlier, time.monotonic() - began)
            self.fresh_store()
        return self.durations[name]

    def places_written(self):
        return [d / "tmp" for d in self.checker.maildirs()] + [self.work / "attachments", self.shortcuts]

    def trial(self, index):
        name, job = self.jobs[index % len(self.jobs)]
        wait = self.rng.uniform(0, self.duration(name, job))
        if name == "save":
            self.fresh_store()
        process = self.start(job)
        time.sleep(wait)
        killed = process.poll() is None
        if killed:
            process.send_signal(signal.SIGKILL)
        process.communicate()
        faults = self.checker.check()
        rerun = self.start(job)
        rerun.communicate()
        after = self.checker.check()
        for key, value in after.items():
            faults[key] += value
        faults["left temporaries"] = len(left_temporaries(self.places_written()))
        return name, killed, faults


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("-b", "--build", default=str(HERE.parent / "build"))
    parser.add_argument("-n", "--emails", type=int, default=2000)
    parser.add_argument("-t", "--trials", type=int, default=200)
    parser.add_argument("-s", "--seed", type=int, default=1)
    parser.add_argument("-w", "--work")
    parser.add_argument("-k", "--keep", action="store_true", help="keep the work folder")
    args = parser.parse_args()
    bench = Bench(args)
    bench.setup(args.emails, args.seed)
    totals, kills, began = {}, 0, time.monotonic()
    try:
        for index in range(args.trials):
            name, killed, faults = bench.trial(index)
            kills += killed
            for key, value in faults.items():
                totals[key] = totals.get(key, 0) + value
            if any(faults.values()):
                print(f"trial {index + 1} ({name}, {'killed' if killed else 'ended before the kill'}): {faults}")
            if (index + 1) % 10 == 0:
                print(f"{index + 1} trials, {kills} kills, {time.monotonic() - began:.0f} s", file=sys.stderr,
                      flush=True)
    finally:
        if not args.keep:
            shutil.rmtree(bench.work, ignore_errors=True)
    print(f"{args.trials} trials on {args.emails} e-mails, {kills} kills: " +
          ", ".join(f"{key} {value}" for key, value in totals.items()))
    return 0 if not any(totals.values()) else 1


if __name__ == "__main__":
    sys.exit(main())
