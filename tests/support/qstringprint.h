#pragma once
// Lets test failures print QStrings and QStringLists as text.
#include <QString>
#include <QStringList>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* os) {
    *os << '{';
    for (const QString& s : list)
        *os << '"' << s.toStdString() << "\" ";
    *os << '}';
}
