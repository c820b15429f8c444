// The IDNA module: libidn2.
#include "platform/idnabackend.h"
#include "platform/module.h"

#include <idn2.h>

namespace {
class Libidn2Backend : public IdnaBackend {
public:
    bool ToAscii(const QByteArray& name, bool std3, QByteArray& out, QString& problem) override {
        int flags = IDN2_NFC_INPUT | IDN2_NONTRANSITIONAL;
        if (std3) flags |= IDN2_USE_STD3_ASCII_RULES;
        char* output = nullptr;
        const int rc = idn2_to_ascii_8z(name.constData(), &output, flags);
        return Take(rc, output, out, problem);
    }
    bool ToUnicode(const QByteArray& name, QByteArray& out, QString& problem) override {
        char* output = nullptr;
        const int rc = idn2_to_unicode_8z8z(name.constData(), &output, 0);
        return Take(rc, output, out, problem);
    }

private:
    static bool Take(int rc, char* output, QByteArray& out, QString& problem) {
        const bool ok = rc == IDN2_OK && output;
        if (ok)
            out = QByteArray(output);
        else
            problem = QString::fromUtf8(idn2_strerror(rc));
        if (output) idn2_free(output);
        return ok;
    }
};
} // namespace

REGISCRIBE_MODULE_ENTRY(IdnaBackend, regiscribe_idna) {
    static Libidn2Backend backend;
    return &backend;
}
