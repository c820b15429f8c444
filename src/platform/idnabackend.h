#pragma once
// What the IDNA module (platform/idna, on libidn2) offers: UTS #46 processing, non-transitional,
// with the hyphen, joiner and Bidi checks of IDNA2008's look-up.
#include <QByteArray>
#include <QString>

class IdnaBackend {
public:
    virtual ~IdnaBackend() = default;
    // The A-label form of a UTF-8 name; false with libidn2's reason when it is refused. `std3`
    // also refuses the ASCII characters that no host name holds.
    virtual bool ToAscii(const QByteArray& name, bool std3, QByteArray& out, QString& problem) = 0;
    // The Unicode form of a name.
    virtual bool ToUnicode(const QByteArray& name, QByteArray& out, QString& problem) = 0;
};

// The module's name and its entry point, `IdnaBackend* regiscribe_idna()`.
inline constexpr const char* IdnaModuleName = "idna";
inline constexpr const char* IdnaModuleEntry = "regiscribe_idna";
