#include "platform/fileerror.h"

#include <cerrno>

int FileErrorCode(int errnoValue) {
    switch (errnoValue) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL:
        return 3;
    case EMFILE:
    case ENFILE:
        return 4;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case EEXIST:
        return 5;
    case ENOSPC:
    case EDQUOT:
        return 101;
    default:
        return errnoValue;
    }
}

QString FileErrorText(int code) {
    switch (code) {
    case 2:
        return "File not found";
    case 3:
        return "Invalid filename";
    case 4:
        return "Too many open files";
    case 5:
        return "File access denied";
    case 100:
        return "Read beyond end of file";
    case 101:
        return "Disk full";
    case 106:
        return "Invalid numeric input";
    default:
        return QString("I/O error %1").arg(code);
    }
}

QString FileErrorMessage(int errnoValue) {
    int code = FileErrorCode(errnoValue);
    // An errno without a mapping keeps its own number, even where it equals a mapped one.
    if (code == errnoValue) return QString("I/O error %1").arg(errnoValue);
    return FileErrorText(code);
}

void RaiseFileError(int errnoValue) {
    throw EInOutError(FileErrorCode(errnoValue), FileErrorMessage(errnoValue));
}
