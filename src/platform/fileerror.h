#pragma once
// File errors in the program's numbering (missing folder 3, too many open files 4, access denied 5,
// disk full 101) and their texts.
#include "platform/exception.h"

class EInOutError : public Exception {
public:
    EInOutError(int code, QString message) : Exception(std::move(message)), code_(code) {}
    int ErrorCode() const { return code_; }

private:
    int code_;
};

// The program's error number for an errno value.
int FileErrorCode(int errnoValue);
// "Invalid filename", "Too many open files", "File access denied", "Disk full" or "I/O error N".
QString FileErrorText(int code);
// The message for an errno value: the text of its mapped number, or "I/O error N" with the errno
// value when it has no number of its own.
QString FileErrorMessage(int errnoValue);
// Raises EInOutError for an errno value.
[[noreturn]] void RaiseFileError(int errnoValue);
