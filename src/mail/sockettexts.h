#pragma once
// The mail transport's error texts: its own codes (57000 and up) and the socket error codes,
// written as "[code] description".
#include <QString>
#include <cstdint>

// The text stored under `code`, or an empty string when there is none.
QString MailSocketErrorText(uint16_t code);
