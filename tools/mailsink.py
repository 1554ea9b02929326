#!/usr/bin/python3
"""A local SMTP server that keeps every message it receives.

Used by the demo (scripts/run) and by the mail tests. Any user name and
password are accepted, also without TLS, as the maker's relay does.

  mailsink.py --maildir DIR [--port N] [--log FILE] [--refuse TEXT] [--starttls]
              [--delay SECONDS]

Prints "listening 127.0.0.1:PORT" once it accepts connections. Each message
goes into the maildir DIR; with --log, one JSON line per message is appended
with the envelope, the credentials and the decoded headers and HTML body.
Recipients containing TEXT (--refuse) are refused with 550. With --starttls
the server insists on STARTTLS, with a throwaway self-signed certificate.
With --delay each message is kept and answered only that many seconds after
it came, as a slow relay does.
"""
import argparse
import asyncio
import email
import email.policy
import json
import mailbox
import os
import ssl
import subprocess
import sys
import tempfile
import warnings

from aiosmtpd.smtp import SMTP, AuthResult


class Sink:
    def __init__(self, maildir, log, refuse, delay=0.0):
        self.box = mailbox.Maildir(maildir, create=True)
        self.log = log
        self.refuse = refuse
        self.delay = delay

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if self.refuse and self.refuse in address:
            return "550 5.1.1 mailbox unavailable"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        if self.delay:
            await asyncio.sleep(self.delay)
        self.box.add(envelope.original_content)
        if self.log:
            self.write_log(session, envelope)
        return "250 Message accepted"

    def write_log(self, session, envelope):
        msg = email.message_from_bytes(envelope.original_content, policy=email.policy.default)
        html = msg.get_body(preferencelist=("html",))
        login = session.auth_data
        raw = envelope.original_content.decode("ascii", "replace")
        entry = {
            "mail_from": envelope.mail_from,
            "rcpt_tos": envelope.rcpt_tos,
            "user": login.login.decode() if login else None,
            "password": login.password.decode() if login else None,
            "from": str(msg["From"]),
            "to": str(msg["To"]),
            "subject": str(msg["Subject"]),
            "raw_subject": next((l for l in raw.splitlines() if l.startswith("Subject:")), ""),
            "content_type": html.get_content_type() if html else None,
            "charset": html.get_content_charset() if html else None,
            "html": html.get_content() if html else None,
        }
        with open(self.log, "a", encoding="utf-8") as f:
            f.write(json.dumps(entry, ensure_ascii=False) + "\n")


def accept_any(server, session, envelope, mechanism, auth_data):
    return AuthResult(success=True, auth_data=auth_data)


def throwaway_tls():
    where = tempfile.mkdtemp(prefix="mailsink-")
    cert, key = os.path.join(where, "cert.pem"), os.path.join(where, "key.pem")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1",
                    "-subj", "/CN=127.0.0.1", "-keyout", key, "-out", cert],
                   check=True, capture_output=True)
    context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    context.load_cert_chain(cert, key)
    return context


async def serve(args):
    sink = Sink(args.maildir, args.log, args.refuse, args.delay)
    tls = throwaway_tls() if args.starttls else None
    loop = asyncio.get_running_loop()
    server = await loop.create_server(
        lambda: SMTP(sink, hostname="mailsink.local", authenticator=accept_any,
                     tls_context=tls, require_starttls=bool(tls),
                     auth_require_tls=bool(tls), loop=loop),
        "127.0.0.1", args.port)
    port = server.sockets[0].getsockname()[1]
    print(f"listening 127.0.0.1:{port}", flush=True)
    async with server:
        await server.serve_forever()


def main():
    # aiosmtpd itself still fills the deprecated Session.login_data.
    warnings.filterwarnings("ignore", message="Session.login_data")
    p = argparse.ArgumentParser()
    p.add_argument("--maildir", required=True)
    p.add_argument("--port", type=int, default=0)
    p.add_argument("--log")
    p.add_argument("--refuse")
    p.add_argument("--starttls", action="store_true")
    p.add_argument("--delay", type=float, default=0.0)
    try:
        asyncio.run(serve(p.parse_args()))
    except KeyboardInterrupt:
        pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
