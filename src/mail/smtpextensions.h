#pragma once
// What an extended SMTP session reads from the server's EHLO reply and sends to sign in.
#include <QByteArray>
#include <QString>
#include <QStringList>

// The service extensions of an EHLO reply: every line after the first, without its code, in
// upper case ("STARTTLS", "AUTH PLAIN LOGIN", "SIZE 35882577").
QStringList EhloExtensions(const QStringList& replyLines);
// Whether the extensions offer `keyword` (the extension's first word).
bool Offers(const QStringList& extensions, const QString& keyword);
// The AUTH mechanisms offered, from "AUTH ..." and the older "AUTH=..." lines.
QStringList AuthMechanisms(const QStringList& extensions);

// The initial response of AUTH PLAIN: base64 of NUL, user, NUL, password (UTF-8).
QByteArray PlainAuthResponse(const QString& user, const QString& password);
// A LOGIN step's answer: base64 of the text (UTF-8).
QByteArray LoginAuthResponse(const QString& text);
