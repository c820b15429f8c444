#!/usr/bin/python3
"""Writes one signed registration in the shapes mail takes, made by Python's own email package.

    mail_shapes.py BLOCK OUTDIR FINGERPRINT

BLOCK is a cleartext-signed text. OUTDIR receives qp.eml (Content-Transfer-Encoding without a
blank after its colon), folded.eml (folded header fields), mbox.eml (an mbox "From " line first),
base64.eml, mixed.eml (multipart/mixed: an unsigned greeting, the block, an attachment and an
HTML part) and pgpmime.eml (RFC 3156 multipart/signed over a quoted-printable part, signed here by
the key FINGERPRINT through gpg, stored with LF line ends as mail folders keep it).
"""
import email
import subprocess
import sys
from email.message import EmailMessage
from email.policy import SMTP, default

block_file, out, fingerprint = sys.argv[1:4]
block = open(block_file, encoding="utf-8").read()


def message(**content):
    m = EmailMessage()
    m["From"] = "Jane Signer <jane@example.test>"
    m["To"] = "hostmaster@registry.test"
    m["Subject"] = "signed registration"
    m["Date"] = "Wed, 09 Dec 2026 19:00:00 +0000"
    if content:
        m.set_content(block, **content)
    return m


def write(name, data, judged=None):
    with open(f"{out}/{name}", "wb") as f:
        f.write(data)
    # What the email package reads from it (or from `judged`, the same message in a form it
    # reads): the text/plain part holding the signed block, for gpg and sq to judge.
    data = judged or data
    if data.startswith(b"From "):
        data = data.split(b"\n", 1)[1]
    parsed = email.message_from_bytes(data, policy=default)
    for part in parsed.walk():
        if part.get_content_type() == "text/plain" and "BEGIN PGP" in part.get_content():
            with open(f"{out}/{name.rsplit('.', 1)[0]}.body", "w", encoding="utf-8") as f:
                f.write(part.get_content())


qp = bytes(message(cte="quoted-printable"))
assert b"Content-Transfer-Encoding: quoted-printable" in qp
write("qp.eml", qp.replace(b"Content-Transfer-Encoding: quoted-printable",
                           b"Content-Transfer-Encoding:quoted-printable"))
# (Python's parser does not unfold a folded Content-Transfer-Encoding: it judges the unfolded
# message, whose body is the same.)
folded = (qp.replace(b"Content-Transfer-Encoding: quoted-printable",
                     b"Content-Transfer-Encoding:\n quoted-printable")
          .replace(b'Content-Type: text/plain; charset="utf-8"',
                   b'Content-Type: text/plain;\n\tcharset="utf-8"'))
assert folded.count(b"\n quoted-printable") == 1 and folded.count(b"\n\tcharset") == 1
write("folded.eml", folded, judged=qp)
write("mbox.eml", b"From jane@example.test Wed Dec  9 19:00:00 2026\n" +
      bytes(message(cte="8bit")))
write("base64.eml", bytes(message(cte="base64")))

mixed = message()
mixed.set_content("Hello,\n\nthe registration follows.\n")
mixed.add_attachment(block, subtype="plain", cte="quoted-printable", disposition="inline")
mixed.add_attachment("Action: D\nnot signed\n", subtype="plain", filename="notes.txt")
mixed.add_attachment("<p>Action: D</p>\n", subtype="html")
write("mixed.eml", bytes(mixed))

inner = EmailMessage()
inner.set_content("Domain Name: example.com\nOrganisation: M\u00fcller GmbH\n",
                  cte="quoted-printable")
signed = inner.as_bytes(policy=SMTP)  # CR LF line ends, as RFC 3156 signs
with open(f"{out}/inner.bin", "wb") as f:
    f.write(signed)
subprocess.run(["gpg", "--batch", "--yes", "--armor", "--detach-sign", "--digest-algo", "SHA256",
                "-u", fingerprint, "-o", f"{out}/inner.sig", f"{out}/inner.bin"], check=True,
               stderr=subprocess.DEVNULL)
signature = open(f"{out}/inner.sig", "rb").read().replace(b"\n", b"\r\n")
outer = (b"From: Jane Signer <jane@example.test>\r\n"
         b"To: hostmaster@registry.test\r\n"
         b"Subject: signed registration\r\n"
         b"Date: Wed, 09 Dec 2026 19:00:00 +0000\r\n"
         b"MIME-Version: 1.0\r\n"
         b'Content-Type: multipart/signed; boundary="=-sig-b0und";\r\n'
         b' protocol="application/pgp-signature"; micalg=pgp-sha256\r\n'
         b"\r\n"
         b"This is an OpenPGP/MIME signed message (RFC 4880 and 3156)\r\n"
         b"--=-sig-b0und\r\n" + signed + b"\r\n"
         b"--=-sig-b0und\r\n"
         b'Content-Type: application/pgp-signature; name="signature.asc"\r\n'
         b"\r\n" + signature + b"\r\n"
         b"--=-sig-b0und--\r\n")
write("pgpmime.eml", outer.replace(b"\r\n", b"\n"))
