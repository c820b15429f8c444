#!/usr/bin/python3
"""A loopback SMTP server for tests and benchmarks, built on Debian's python3-aiosmtpd.

Usage: smtp_sink.py FOLDER [LIFETIME_SECONDS]

Listens on a free port of 127.0.0.1 and prints "PORT <n>" once it accepts connections. Every
message it receives is written to FOLDER as NNNN.eml (the text as it arrived after DATA, leading
dots restored to single ones) with NNNN.env beside it (the MAIL FROM address, then one RCPT TO
address a line). It stops by itself after LIFETIME_SECONDS (default 120), so it never outlives a
test that forgot it.
"""
import asyncio
import os
import sys

from aiosmtpd.smtp import SMTP


class WriteToFolder:
    def __init__(self, folder):
        self.folder = folder
        self.count = 0

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        base = os.path.join(self.folder, "%04d" % self.count)
        with open(base + ".env.tmp", "w") as f:
            f.write("\n".join([envelope.mail_from] + list(envelope.rcpt_tos)) + "\n")
        with open(base + ".eml.tmp", "wb") as f:
            f.write(envelope.original_content)
        os.rename(base + ".env.tmp", base + ".env")
        os.rename(base + ".eml.tmp", base + ".eml")
        return "250 Message accepted for delivery"


async def main():
    folder = sys.argv[1]
    lifetime = float(sys.argv[2]) if len(sys.argv) > 2 else 120.0
    handler = WriteToFolder(folder)
    loop = asyncio.get_running_loop()
    server = await loop.create_server(
        lambda: SMTP(handler, hostname="sink.test", decode_data=False), "127.0.0.1", 0)
    port = server.sockets[0].getsockname()[1]
    print("PORT %d" % port, flush=True)
    await asyncio.sleep(lifetime)
    server.close()


if __name__ == "__main__":
    asyncio.run(main())
