"""Judges a mail message as receivers do, with Python's own parser (email.policy.default).

Usage: judge_message.py FILE

Prints one JSON object: the defects the parser found (in the message and in each header), how
many Date and Message-ID fields there are, the Date as seconds since the epoch, the decoded
display name and address of From, the first To address, the decoded Subject, the body decoded to
text, its charset and transfer encoding, and the order of the header fields. A quoted-printable
body is also decoded by quopri's own RFC 2045 decoder ("body_strict"), which drops white space at
the end of an encoded line as the RFC asks (binascii's faster decoder keeps it).
"""
import email
import email.policy
import email.utils
import io
import json
import quopri
import sys


def main():
    with open(sys.argv[1], "rb") as f:
        raw = f.read()
    message = email.message_from_bytes(raw, policy=email.policy.default)
    defects = [type(d).__name__ for d in message.defects]
    for name, value in message.items():
        defects += ["%s: %s" % (name, type(d).__name__) for d in getattr(value, "defects", ())]
    date = message["Date"]
    sender = message["From"]
    to = message["To"]
    body = message.get_body(("plain",))
    strict = None
    if body is not None and body.get("Content-Transfer-Encoding", "").lower() == "quoted-printable":
        quopri.a2b_qp = None
        decoded = io.BytesIO()
        quopri.decode(io.BytesIO(body.get_payload().encode("ascii")), decoded)
        strict = decoded.getvalue().decode(body.get_content_charset() or "ascii")
    result = {
        "defects": defects,
        "fields": [name for name, _ in message.items()],
        "dates": len(message.get_all("Date", [])),
        "message_ids": len(message.get_all("Message-ID", [])),
        "message_id": str(message["Message-ID"] or ""),
        "date": date.datetime.timestamp() if date is not None and date.datetime else None,
        "from_name": sender.addresses[0].display_name if sender else None,
        "from_address": sender.addresses[0].addr_spec if sender else None,
        "to_address": to.addresses[0].addr_spec if to else None,
        "subject": str(message["Subject"] or ""),
        "body": body.get_content() if body is not None else None,
        "body_strict": strict,
        "charset": message.get_content_charset(),
        "encoding": message.get("Content-Transfer-Encoding", ""),
    }
    print(json.dumps(result))


if __name__ == "__main__":
    main()
