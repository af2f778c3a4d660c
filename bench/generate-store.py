#!/usr/bin/env python3
"""Writes a Maildir store (nested layout) of generated e-mails for the benchmarks.

    bench/generate-store.py ROOT COUNT [--seed N]

Every message lies in the Inbox or one of its subfolders, so one job with subfolders walks the
whole store. The same seed and count give the same store, byte for byte (file times included).

What a store holds:
- bodies of 2 to 50 KB (log-uniform), plain text or plain text with an HTML alternative,
  in UTF-8 as 8bit or quoted-printable;
- about a third of the messages carry one to three attachments of 10 KB to 2 MB (97 in 100
  log-uniform from 10 to 100 KB, the others from 100 KB to 2 MB), as base64 binaries or
  quoted-printable texts, some names non-ASCII (RFC 2231);
- about one attachment in ten is an attached e-mail (message/rfc822), half of them with a file
  of their own;
- dates over ten years, two thousand senders, fourteen folders, most messages read.
"""

import argparse
import base64
import binascii
import os
import random
import sys
import time

FOLDERS = [  # (path relative to the store root, weight)
    ("Inbox", 30), ("Inbox/Projects", 8), ("Inbox/Projects/Alpha", 6), ("Inbox/Projects/Beta", 5),
    ("Inbox/Customers Zürich", 7), ("Inbox/Newsletters", 10), ("Inbox/Invoices", 6),
    ("Inbox/Archive", 2), ("Inbox/Archive/2019", 5), ("Inbox/Archive/2020", 5),
    ("Inbox/Archive/2021", 5), ("Inbox/Archive/2022", 5), ("Inbox/Support", 4), ("Inbox/Travel", 2),
]

FIRST = ["Anna", "Bernd", "Chloé", "David", "Eva", "François", "Greta", "Hans", "Inès", "Jörg",
         "Karin", "Luis", "Marta", "Nils", "Olga", "Pál", "Quentin", "Rosa", "Sven", "Tomás",
         "Ulla", "Viktor", "Wanda", "Xaver", "Yusuf", "Zoë"]
LAST = ["Meier", "Schmidt", "Dubois", "García", "Novák", "Kowalski", "Larsen", "Rossi", "Müller",
        "O'Brien", "Øster", "Weiß", "Tanaka", "Smith", "Jansen", "Fischer", "Horváth", "Silva"]
DOMAINS = ["example.com", "example.org", "example.net", "mail.example.de", "corp.example.ch"]
WORDS = ("the report project meeting invoice offer quarter budget review draft contract order "
         "delivery schedule update please attached find regards thanks question answer customer "
         "server release version summary agenda minutes travel hotel flight Zürich Köln café "
         "Größe naïve résumé Ärger über später").split()
ATTACHMENT_KINDS = [  # (extension, content type, binary)
    (".pdf", "application/pdf", True), (".jpg", "image/jpeg", True), (".png", "image/png", True),
    (".docx", "application/vnd.openxmlformats-officedocument.wordprocessingml.document", True),
    (".xlsx", "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet", True),
    (".zip", "application/zip", True), (".txt", "text/plain", False), (".csv", "text/csv", False),
]

KB = 1024
FIRST_DATE = 1420070400  # 2015-01-01
DATE_SPAN = 10 * 365 * 86400
NOISE_SIZE = 4 * 1024 * 1024


class Pools:
    """Text and bytes generated once, so that each message only takes slices of them."""

    def __init__(self, rng):
        self.noise = rng.randbytes(NOISE_SIZE)
        lines, size = [], 0
        while size < 2 * 1024 * 1024:
            line = " ".join(rng.choice(WORDS) for _ in range(rng.randint(6, 12)))
            lines.append(line)
            size += len(line.encode()) + 1
        self.text = ("\n".join(lines) + "\n").encode()
        self.senders = [self._sender(rng, i) for i in range(2000)]

    @staticmethod
    def _sender(rng, i):
        first, last = rng.choice(FIRST), rng.choice(LAST)
        local = f"{first}.{last}{i}".lower().encode("ascii", "ignore").decode().replace("'", "")
        return first + " " + last, local + "@" + rng.choice(DOMAINS)

    def text_slice(self, rng, size):
        start = rng.randrange(0, len(self.text) - size - 1)
        start = self.text.index(b"\n", start) + 1
        end = self.text.find(b"\n", start + size)
        return self.text[start:end + 1] if end > 0 else self.text[start:]

    def bytes_slice(self, rng, size):
        if size <= NOISE_SIZE:
            start = rng.randrange(0, NOISE_SIZE - size + 1)
            return self.noise[start:start + size]
        return (self.noise * (size // NOISE_SIZE + 1))[:size]


def encode_word(text):
    """An RFC 2047 encoded word when the text is not ASCII."""
    if text.isascii():
        return text
    return "=?UTF-8?B?" + base64.b64encode(text.encode()).decode() + "?="


def address(name, mail):
    if name.isascii():
        return '"' + name.replace('"', "") + '" <' + mail + ">"
    return encode_word(name) + " <" + mail + ">"


def rfc2822_date(when):
    t = time.gmtime(when)
    days = ["Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"]
    months = ["Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"]
    return f"{days[t.tm_wday]}, {t.tm_mday:02d} {months[t.tm_mon - 1]} {t.tm_year} " \
           f"{t.tm_hour:02d}:{t.tm_min:02d}:{t.tm_sec:02d} +0000"


def log_uniform(rng, low, high):
    return int(low * (high / low) ** rng.random())


def attachment_size(rng):
    # Small attachments are common, large ones rare: the mean is about 55 KB.
    if rng.random() < 0.97:
        return log_uniform(rng, 10 * KB, 100 * KB)
    return log_uniform(rng, 100 * KB, 2048 * KB)


def headers(rng, pools, when, n, subject_prefix=""):
    name, mail = rng.choice(pools.senders)
    to_name, to_mail = rng.choice(pools.senders)
    subject = subject_prefix + " ".join(rng.choice(WORDS) for _ in range(rng.randint(2, 7)))
    lines = [
        f"Return-Path: <{mail}>",
        f"Received: from mx{n % 7}.example.net by mail.example.org; {rfc2822_date(when + 5)}",
        "From: " + address(name, mail),
        "To: " + address(to_name, to_mail),
    ]
    if rng.random() < 0.2:
        cc_name, cc_mail = rng.choice(pools.senders)
        lines.append("Cc: " + address(cc_name, cc_mail))
    lines += [
        "Subject: " + encode_word(subject),
        "Date: " + rfc2822_date(when),
        f"Message-ID: <{n}.{when}@bench.example.org>",
        "MIME-Version: 1.0",
    ]
    return lines


def text_part(rng, pools, size):
    body = pools.text_slice(rng, size)
    if rng.random() < 0.3:
        return [b"Content-Type: text/plain; charset=utf-8",
                b"Content-Transfer-Encoding: quoted-printable", b"",
                binascii.b2a_qp(body)]
    return [b"Content-Type: text/plain; charset=utf-8", b"Content-Transfer-Encoding: 8bit", b"", body]


def html_part(body):
    html = b"<html><body><p>" + body.replace(b"\n", b"</p>\n<p>") + b"</p></body></html>\n"
    return [b"Content-Type: text/html; charset=utf-8", b"Content-Transfer-Encoding: quoted-printable",
            b"", binascii.b2a_qp(html)]


def file_name_params(name):
    if name.isascii():
        return f'; filename="{name}"', f'; name="{name}"'
    quoted = "".join(c if c.isalnum() and c.isascii() or c in ".-_" else
                     "".join(f"%{b:02X}" for b in c.encode()) for c in name)
    return f"; filename*=utf-8''{quoted}", f'; name="{encode_word(name)}"'


def file_attachment(rng, pools):
    ext, ctype, binary = rng.choice(ATTACHMENT_KINDS)
    stem = rng.choice(["Bericht", "report", "Rechnung", "photo", "scan", "Übersicht", "offer",
                       "data", "minutes", "Präsentation"])
    name = f"{stem} {rng.randint(1, 9999)}{ext}"
    size = attachment_size(rng)
    disposition, ctype_name = file_name_params(name)
    head = [f"Content-Type: {ctype}{ctype_name}".encode(), f"Content-Disposition: attachment{disposition}".encode()]
    if binary:
        return head + [b"Content-Transfer-Encoding: base64", b"",
                       base64.encodebytes(pools.bytes_slice(rng, size))]
    return head + [b"Content-Transfer-Encoding: quoted-printable", b"",
                   binascii.b2a_qp(pools.text_slice(rng, size))]


def multipart(boundary, parts):
    out = []
    for part in parts:
        out.append(b"--" + boundary)
        out += part
    out.append(b"--" + boundary + b"--")
    out.append(b"")
    return out


def inner_message(rng, pools, when, n):
    lines = [h.encode() for h in headers(rng, pools, when - 86400 * rng.randint(1, 60), n, "Fwd: ")]
    body = text_part(rng, pools, log_uniform(rng, 1 * KB, 8 * KB))
    if rng.random() < 0.5:
        boundary = f"inner-{n}-{rng.randrange(1 << 30)}".encode()
        lines.append(b'Content-Type: multipart/mixed; boundary="' + boundary + b'"')
        lines.append(b"")
        lines += multipart(boundary, [body, file_attachment(rng, pools)])
    else:
        lines += body
    return [b"Content-Type: message/rfc822", b"Content-Disposition: attachment", b""] + lines


def body_parts(rng, pools, when, n):
    size = log_uniform(rng, 2 * KB, 50 * KB)
    if rng.random() < 0.4:
        plain = pools.text_slice(rng, size // 2)
        boundary = f"alt-{n}".encode()
        alternative = multipart(boundary, [
            [b"Content-Type: text/plain; charset=utf-8", b"Content-Transfer-Encoding: 8bit", b"", plain],
            html_part(plain)])
        body = [b'Content-Type: multipart/alternative; boundary="' + boundary + b'"', b""] + alternative
    else:
        body = text_part(rng, pools, size)
    if rng.random() >= 1 / 3:
        return body
    attachments = []
    for _ in range(rng.randint(1, 3)):
        attachments.append(inner_message(rng, pools, when, n) if rng.random() < 0.1
                           else file_attachment(rng, pools))
    boundary = f"mixed-{n}-{rng.randrange(1 << 30)}".encode()
    return [b'Content-Type: multipart/mixed; boundary="' + boundary + b'"', b""] + \
        multipart(boundary, [body] + attachments)


def message(rng, pools, when, n):
    lines = [h.encode() for h in headers(rng, pools, when, n)] + body_parts(rng, pools, when, n)
    return b"\n".join(line.rstrip(b"\n") if i + 1 < len(lines) else line for i, line in enumerate(lines)) + b"\n"


def file_name(rng, when, n):
    roll = rng.random()
    if roll < 0.05:
        return "new", f"{when}.M{n % 1000000:06d}P{4000 + n % 997}Q{n}.bench"
    flags = "S" if roll < 0.75 else ""
    if rng.random() < 0.05:
        flags = "F" + flags
    if rng.random() < 0.1:
        flags += "R" if "S" in flags else ""
        flags = "".join(sorted(flags))
    return "cur", f"{when}.M{n % 1000000:06d}P{4000 + n % 997}Q{n}.bench:2,{flags}"


def make_folders(root):
    for path, _ in FOLDERS:
        for sub in ("cur", "new", "tmp"):
            os.makedirs(os.path.join(root, path, sub), exist_ok=True)


def generate(root, count, seed):
    rng = random.Random(seed)
    pools = Pools(rng)
    make_folders(root)
    paths = [p for p, _ in FOLDERS]
    weights = [w for _, w in FOLDERS]
    total = 0
    for n in range(count):
        folder = rng.choices(paths, weights)[0]
        when = FIRST_DATE + rng.randrange(DATE_SPAN)
        data = message(rng, pools, when, n)
        sub, name = file_name(rng, when, n)
        path = os.path.join(root, folder, sub, name)
        with open(path, "wb") as out:
            out.write(data)
        os.utime(path, (when + 5, when + 5))
        total += len(data)
    return total


def main():
    parser = argparse.ArgumentParser(description="Write a Maildir store of generated e-mails.")
    parser.add_argument("root")
    parser.add_argument("count", type=int)
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()
    if os.path.exists(args.root) and os.listdir(args.root):
        sys.exit(f"{args.root} exists and is not empty")
    total = generate(args.root, args.count, args.seed)
    print(f"{args.count} messages, {total / 1e6:.1f} MB in {args.root}")


if __name__ == "__main__":
    main()
