#pragma once
// Errors of the line-oriented TCP client: its own error texts ("[10061] Connection refused.")
// and the exception it raises ("10061: [10061] Connection refused.").
#include "platform/exception.h"

#include <QString>

// "Ok" for 0; "[code] text." for a known code; "[code] (no description available)." otherwise.
QString LcErrorText(int code);

// The client's own error codes, beside the shared socket numbering.
enum LcErrorCode {
    LC_PORT_BUSY = 100,
    LC_HOST_BUSY = 101,
    LC_NO_ADDRESS = 102,
    LC_ALREADY_CONNECTED = 104,
    LC_LOCAL_PORT_BUSY = 106,
    LC_LINE_LENGTH_BUSY = 112,
    LC_NO_PORT = 116,
};

// The message of one of the client's own codes above.
QString LcOwnErrorMessage(int code);

class ElcIPPort : public Exception {
public:
    // The message reads the code in decimal, ": " and `text`.
    ElcIPPort(int code, const QString& text)
        : Exception(QString::number(code) + ": " + text), code_(code) {}
    int ErrorCode() const { return code_; }

private:
    int code_;
};
