#!/usr/bin/env python3
"""Moves e-mails while another mail program works on the same store.

    bench/concurrent-writer.py [-b BUILD] [-n EMAILS] [-r RUNS] [-s SEED] [-w WORK]

Each run makes a store of generated e-mails (bench/generate-store.py) and starts qelbat on a job
that marks every e-mail of the Inbox and its subfolders read and moves it to "Archive". Meanwhile
a second process does what a mail reader and a delivery agent do: it adds the flag F to messages
of those folders (renaming their files) and delivers new e-mails through tmp/ into the Inbox's
new/. After the run every e-mail that was there at the start must be in "Archive" (none skipped),
every e-mail must be in the store exactly once (none lost or doubled), and qelbat must end with
exit code 0 (not stopped). The last line sums up the runs; the exit code is 0 when all is well.
"""

import argparse
import multiprocessing
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
MESSAGE_ID = re.compile(rb"^Message-ID:\s*(<[^>\r\n]*>)", re.IGNORECASE | re.MULTILINE)


def hexid(text):
    return text.encode("utf-8").hex().upper()


def job_text():
    return (f"[Source]\nSource=1\nEntry={hexid('Inbox')}\nStore={hexid('Mailbox')}\nFullName=Mailbox \\ Inbox\n"
            f"InclSubFolders=1\n[ReadUnread]\nMode=1\n[MoveEmails]\nActive=1\nEntry={hexid('Archive')}\n"
            f"Store={hexid('Mailbox')}\nFullName=Mailbox \\ Archive\nMask=\n")


def maildirs(root):
    return [d for d in [root, *root.rglob("*")] if d.is_dir() and (d / "cur").is_dir()]


def message_ids(root):
    ids = []
    for d in maildirs(root):
        for sub in ("cur", "new"):
            for path in (d / sub).iterdir():
                head = path.read_bytes().split(b"\n\n", 1)[0]
                found = MESSAGE_ID.search(head)
                ids.append(found.group(1) if found else path.name.encode())
    return ids


def flagged(name):
    return name + "F" if name.endswith(":2,") or ":2," not in name else name.replace(":2,", ":2,F", 1)


def mail_reader(inbox, stop, delivered, seed):
    """Adds the flag F to messages here and there and delivers a new e-mail now and then."""
    rng, round_ = random.Random(seed), 0
    folders = maildirs(inbox)
    while not stop.is_set():
        cur = rng.choice(folders) / "cur"
        try:
            names = os.listdir(cur)
        except OSError:
            names = []
        for name in rng.sample(names, min(20, len(names))):
            if ":2," in name and "F" in name.split(":2,")[1]:
                continue
            try:
                os.rename(cur / name, cur / flagged(name))
            except OSError:
                pass
        if round_ % 5 == 0:
            unique = f"{int(time.time())}.R{round_}P{os.getpid()}.reader"
            text = f"From: new@example.org\nSubject: new {round_}\nMessage-ID: <new-{seed}-{round_}@x>\n\nnew\n"
            (inbox / "tmp" / unique).write_text(text)
            os.rename(inbox / "tmp" / unique, inbox / "new" / unique)
            delivered.value += 1
        round_ += 1
        time.sleep(0.001)


def run_once(args, work, run):
    store = work / f"store{run}"
    subprocess.run([sys.executable, str(HERE / "generate-store.py"), str(store), str(args.emails),
                    "--seed", str(args.seed + run)], check=True, capture_output=True)
    for sub in ("cur", "new", "tmp"):
        (store / "Archive" / sub).mkdir(parents=True, exist_ok=True)
    inbox = store / "Inbox"
    originals = set(message_ids(inbox))
    env = dict(os.environ, TROVANTA_HOME=str(work / "home"), MAILDIR=str(store), LC_ALL="C.UTF-8",
               TMPDIR=str(work))
    stop, delivered = multiprocessing.Event(), multiprocessing.Value("i", 0)
    reader = multiprocessing.Process(target=mail_reader, args=(inbox, stop, delivered, args.seed + run))
    reader.start()
    result = subprocess.run([str(args.build / "bin" / "qelbat"), str(work / "move.qef"), "/quiet"], env=env,
                            stdin=subprocess.DEVNULL, capture_output=True)
    stop.set()
    reader.join()
    left = sum(1 for mid in message_ids(inbox) if mid in originals)
    everything = message_ids(store)
    expected = len(originals) + delivered.value
    faults = {"stopped": int(result.returncode != 0), "skipped": left,
              "lost": expected - len(set(everything)), "duplicated": len(everything) - len(set(everything))}
    if any(faults.values()):
        print(f"run {run + 1}: exit code {result.returncode}, {faults}; {result.stderr.decode(errors='replace')[-300:]}")
    shutil.rmtree(store, ignore_errors=True)
    return faults, delivered.value


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("-b", "--build", type=Path, default=HERE.parent / "build")
    parser.add_argument("-n", "--emails", type=int, default=2000)
    parser.add_argument("-r", "--runs", type=int, default=20)
    parser.add_argument("-s", "--seed", type=int, default=1)
    parser.add_argument("-w", "--work")
    args = parser.parse_args()
    args.build = args.build.resolve()
    work = Path(args.work or tempfile.mkdtemp(prefix="concurrent-writer-")).resolve()
    (work / "home").mkdir(parents=True, exist_ok=True)
    env = dict(os.environ, TROVANTA_HOME=str(work / "home"))
    for lib in ("libtrovanta_outlook.so", "libtrovanta_qelutils.so"):
        subprocess.run([str(args.build / "bin" / "regsvr"), str(args.build / "lib" / lib)], env=env, check=True,
                       capture_output=True)
    (work / "move.qef").write_bytes(job_text().replace("\n", "\r\n").encode())
    totals, delivered = {}, 0
    try:
        for run in range(args.runs):
            faults, new = run_once(args, work, run)
            delivered += new
            for key, value in faults.items():
                totals[key] = totals.get(key, 0) + value
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print(f"{args.runs} runs moving {args.emails} e-mails beside a mail reader ({delivered} delivered meanwhile): " +
          ", ".join(f"{key} {value}" for key, value in totals.items()))
    return 0 if not any(totals.values()) else 1


if __name__ == "__main__":
    sys.exit(main())
