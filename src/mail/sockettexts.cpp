#include "mail/sockettexts.h"

#include <QHash>

namespace {
const QHash<int, const char*>& OwnTexts() {
    static const QHash<int, const char*> texts = {
        {57000, "Operation timed out"},
        {57001, "Operation has been canceled"},
        {57002, "Server property is required"},
        {57003, "Invalid Winsock version"},
        {57004, "Error resolving remote host"},
        {57005, "Service name is required"},
        {57008, "You have to connect to the server first"},
        {57010, "Function %s not found"},
        {57011, "Winsock is not loaded"},
        {57012, "Winsock not found"},
        {57102, "MailMessage property must be assigned"},
    };
    return texts;
}

const QHash<int, const char*>& SocketDescriptions() {
    static const QHash<int, const char*> texts = {
        {10004, "Interrupted function call"},
        {10009, "Bad file number"},
        {10013, "Permission denied."},
        {10014, "Bad address"},
        {10022, "Invalid argument"},
        {10024, "Too many open files"},
        {10035, "Resource temporarily not available"},
        {10036, "Operation now in progress"},
        {10037, "Operation already in progress"},
        {10038, "Socket operation on non-socket"},
        {10039, "Destination address required"},
        {10040, "Message too long"},
        {10041, "Protocol wrong type for socket"},
        {10042, "Bad protocol option"},
        {10043, "Protocol not supported"},
        {10044, "Socket type not supported"},
        {10045, "Operation not supported"},
        {10046, "Protocol family not supported"},
        {10047, "Address family not supported by protocol family"},
        {10048, "Address already in use"},
        {10049, "Cannot assign requested address"},
        {10050, "Network is down"},
        {10051, "Network is unreachable"},
        {10052, "Network dropped connection or reset"},
        {10053, "Software caused connection abort"},
        {10054, "Connection reset by peer"},
        {10055, "No buffer space available"},
        {10056, "Socket is already connected"},
        {10057, "Socket is not connected"},
        {10058, "Can't send after socket shutdown"},
        {10059, "Too many references, can't splice"},
        {10060, "Connection timed out"},
        {10061, "Connection refused"},
        {10062, "Too many levels of symbolic links"},
        {10063, "File name too long"},
        {10064, "Host is down"},
        {10065, "No Route to Host"},
        {10066, "Directory not empty"},
        {10067, "Too many processes"},
        {10068, "Too many users"},
        {10069, "Disc Quota Exceeded"},
        {10070, "Stale NFS file handle"},
        {10071, "Too many levels of remote in path"},
        {10091, "Network subsystem is unavailable"},
        {10092, "WINSOCK DLL Version out of range"},
        {10093, "Successful WSAStartup() not yet performed"},
        {10094, "Graceful shutdown in progress"},
        {11001, "Host not found"},
        {11002, "Non-Authoritative Host not found"},
        {11003, "Non-Recoverable errors: FORMERR, REFUSED, NOTIMP"},
        {11004, "Valid name, no data record of requested type"},
    };
    return texts;
}
} // namespace

QString MailSocketErrorText(uint16_t code) {
    if (code == 10000) return QStringLiteral("[0] No Error");
    if (auto it = OwnTexts().find(code); it != OwnTexts().end()) return QString::fromLatin1(*it);
    if (auto it = SocketDescriptions().find(code); it != SocketDescriptions().end())
        return QStringLiteral("[%1] %2").arg(code).arg(QString::fromLatin1(*it));
    return QString();
}
