"""A local SMTP server for the submission tests, built on aiosmtpd.

Listens on a free loopback port, prints "PORT <n>" once it accepts connections, and saves every
accepted message as <n>.json in the save folder: the envelope sender and recipients, the Subject
header, the transfer encoding, the body decoded by Python's own mail parser and the raw text
exactly as received (base64). It answers the message's end as Postfix does, with its queue id.
The record also holds the MAIL FROM parameters and the time of the answer to the message's end.
Options:

  --save DIR        folder for the saved messages (required)
  --refuse-rcpt     answer every RCPT TO with a 550 refusal
  --delay SECONDS   pause before answering HELO, MAIL FROM, RCPT TO, the end of the data and QUIT,
                    so that every stage of a send lasts visibly long
  --starttls CERT KEY  offer STARTTLS with this certificate chain and key
  --tls CERT KEY       speak TLS from the first byte (implicit TLS) with them
  --auth USER:PASSWORD require AUTH with this login before MAIL FROM
  --mechanisms LIST    the AUTH mechanisms offered, comma-separated (default PLAIN,LOGIN)

It ends when its standard input closes or it is terminated, and never runs longer than --lifetime
seconds (default 120), so a test that loses track of it cannot leave it behind.
"""

import argparse
import asyncio
import base64
import email
import email.policy
import json
import os
import signal
import sys
import time

import logging
import ssl
import warnings

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword

REFUSAL = "550 5.1.1 <{}>: Recipient address rejected: User unknown"


class Handler:
    def __init__(self, save, refuse_rcpt, delay):
        self.save = save
        self.refuse_rcpt = refuse_rcpt
        self.delay = delay
        self.count = 0

    async def pause(self):
        if self.delay:
            await asyncio.sleep(self.delay)

    async def handle_HELO(self, server, session, envelope, hostname):
        await self.pause()
        session.host_name = hostname
        return "250 {}".format(server.hostname)

    async def handle_MAIL(self, server, session, envelope, address, mail_options):
        await self.pause()
        envelope.mail_from = address
        return "250 OK"

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        await self.pause()
        if self.refuse_rcpt:
            return REFUSAL.format(address)
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        await self.pause()
        raw = envelope.original_content or envelope.content
        message = email.message_from_bytes(raw, policy=email.policy.compat32)
        body = message.get_payload(decode=True) or b""
        self.count += 1
        record = {
            "from": envelope.mail_from,
            "to": envelope.rcpt_tos,
            "subject": message.get("Subject", ""),
            "encoding": message.get("Content-Transfer-Encoding", ""),
            "body": body.decode("utf-8", "replace"),
            "raw": raw.decode("utf-8", "replace"),
            "raw_b64": base64.b64encode(raw).decode("ascii"),
            "mail_options": envelope.mail_options,
            # The moment the end of the data is answered: the message is accepted.
            "accepted_at": time.time(),
        }
        path = os.path.join(self.save, "{}.json".format(self.count))
        with open(path + ".part", "w", encoding="utf-8") as f:
            json.dump(record, f)
        os.replace(path + ".part", path)
        return "250 2.0.0 Ok: queued as 4ABC{}".format(self.count)

    async def handle_QUIT(self, server, session, envelope):
        await self.pause()
        return "221 Bye"


async def main():
    # The refusals the tests provoke are expected; the server need not report them.
    warnings.simplefilter("ignore")
    logging.getLogger("mail.log").setLevel(logging.CRITICAL)
    parser = argparse.ArgumentParser()
    parser.add_argument("--save", required=True)
    parser.add_argument("--refuse-rcpt", action="store_true")
    parser.add_argument("--delay", type=float, default=0.0)
    parser.add_argument("--lifetime", type=float, default=120.0)
    parser.add_argument("--starttls", nargs=2, metavar=("CERT", "KEY"))
    parser.add_argument("--tls", nargs=2, metavar=("CERT", "KEY"))
    parser.add_argument("--auth")
    parser.add_argument("--mechanisms", default="PLAIN,LOGIN")
    args = parser.parse_args()

    loop = asyncio.get_running_loop()
    handler = Handler(args.save, args.refuse_rcpt, args.delay)
    options = {"hostname": "sink.test", "decode_data": False}
    context = None
    for pair in (args.starttls, args.tls):
        if pair:
            context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
            context.load_cert_chain(pair[0], pair[1])
    if args.starttls:
        options["tls_context"] = context
    if args.auth:
        login, password = args.auth.split(":", 1)

        def authenticator(server, session, envelope, mechanism, auth_data):
            good = (isinstance(auth_data, LoginPassword) and
                    auth_data.login == login.encode() and auth_data.password == password.encode())
            return AuthResult(success=good, handled=False)

        offered = args.mechanisms.upper().split(",")
        options.update(authenticator=authenticator, auth_required=True,
                       # with implicit TLS the server cannot tell that the line is encrypted
                       auth_require_tls=not args.tls,
                       auth_exclude_mechanism=[m for m in ("PLAIN", "LOGIN") if m not in offered])
    server = await loop.create_server(
        lambda: SMTP(handler, **options), "127.0.0.1", 0, ssl=context if args.tls else None)
    print("PORT {}".format(server.sockets[0].getsockname()[1]), flush=True)

    stop = asyncio.Event()
    loop.add_signal_handler(signal.SIGTERM, stop.set)
    loop.add_reader(sys.stdin.fileno(), lambda: stop.set() if not os.read(0, 4096) else None)
    try:
        await asyncio.wait_for(stop.wait(), args.lifetime)
    except asyncio.TimeoutError:
        pass
    server.close()


if __name__ == "__main__":
    asyncio.run(main())
