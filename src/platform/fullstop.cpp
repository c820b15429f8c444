#include "platform/fullstop.h"

QString WithFullStop(const QString& message) {
    if (message.isEmpty() || message.back() <= QChar('.')) return message;
    return message + '.';
}
