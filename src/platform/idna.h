#pragma once
// International names (UTS #46 / IDNA2008, through libidn2), for the look-ups, the mail addresses
// and the templates: a name holding non-ASCII letters goes out as its A-label, "bücher.example" as
// "xn--bcher-kva.example"; text that is all ASCII goes exactly as typed.
#include <QString>
#include <optional>

// The A-label form of a domain name, or nothing when it is no valid international name; then
// `problem`, when given, receives libidn2's reason.
std::optional<QString> ToALabel(const QString& name, QString* problem = nullptr);
// True when every character of `text` is ASCII.
bool IsAscii(const QString& text);
// The U-label form of an A-label name (for display), or nothing.
std::optional<QString> ToULabel(const QString& name);
// What a WHOIS look-up sends for the text the user typed: all-ASCII text unchanged; otherwise
// each blank-separated word holding a dot and a non-ASCII letter as its A-label ("domain
// bücher.com" and "=bücher.com" too). A word that UTS #46 refuses makes the whole text refused:
// nothing, with "The name NAME is not a valid international domain name: " + the reason.
std::optional<QString> QueryForWire(const QString& typed, QString* problem = nullptr);
