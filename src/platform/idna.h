#pragma once
// International names (UTS #46 / IDNA2008, through libidn2), one conversion for every path that
// sends a name: the look-ups, the name-server check, the mail addresses and the templates. A name
// holding non-ASCII letters goes out as its A-label, "bücher.example" as "xn--bcher-kva.example";
// the labels may be separated by any of the four full stops UTS #46 knows ("日本語。ｊｐ").
//
// UTS #46 processing, non-transitional, with the host-name (STD3), hyphen, joiner and Bidi rules
// and DNS's lengths. A name that UTS #46 refuses is refused, and so is one whose conversion would
// change or drop a character other than by UTS #46's own mapping: the library deletes characters
// that the host-name rules forbid instead of refusing them, which would turn "bücher_shop.example"
// into another domain. An empty label is refused; a final full stop (the root) is kept.
#include "platform/result.h"

#include <QString>
#include <optional>

// The name in its ASCII form (lower case), or why it is refused ("the character "_" is not
// allowed in a name"). All-ASCII names without "xn--" labels are checked without the library.
Result<QString> NameToAscii(const QString& name);
// "NAME is not a valid international name: REASON."
QString NotAValidName(const QString& name, const QString& reason);

// NameToAscii with the reason in `problem`.
std::optional<QString> ToALabel(const QString& name, QString* problem = nullptr);
// True when every character of `text` is ASCII.
bool IsAscii(const QString& text);
// The U-label form of an A-label name (for display), or nothing.
std::optional<QString> ToULabel(const QString& name);
// What a WHOIS look-up sends for the text the user typed. Each blank-separated word that is a
// name (one holding a full stop, a letter outside ASCII or an "xn--" label; after a leading "=" or
// "!", and after the last "@") is checked: all-ASCII ones go exactly as typed, others as their
// A-label. IP addresses and networks, handles and flags go as typed. A name that is refused makes
// the whole text refused: nothing, with NotAValidName's text in `problem`.
std::optional<QString> QueryForWire(const QString& typed, QString* problem = nullptr);
