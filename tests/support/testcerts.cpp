#include "support/testcerts.h"

#include "support/process.h"
#include "support/tempdir.h"

namespace {
const QStringList kKeyOptions = {"-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                                 "-nodes"};
}

bool TestCertificates::Run(const QStringList& args) {
    if (!problem_.isEmpty()) return false;
    const ProcessResult r = RunProgram("openssl", args, dir_.path());
    if (r.exitCode != 0)
        problem_ = "openssl " + args.join(' ') + ": " + QString::fromUtf8(r.err).trimmed();
    return r.exitCode == 0;
}

void TestCertificates::Sign(const QString& name, const QString& names, const QString& authority,
                            int days) {
    Run(QStringList{"req"} + kKeyOptions +
        QStringList{"-keyout", name + ".key", "-out", name + ".csr", "-subj", "/CN=" + name});
    WriteAll(File(name + ".ext"), "subjectAltName=" + names.toUtf8() + "\n");
    Run({"x509", "-req", "-in", name + ".csr", "-CA", authority + ".pem", "-CAkey",
         authority + ".key", "-CAcreateserial", "-days", QString::number(days), "-extfile",
         name + ".ext", "-out", name + ".pem"});
}

TestCertificates::TestCertificates() {
    if (!dir_.isValid()) {
        problem_ = "no temporary folder";
        return;
    }
    for (const char* authority : {"ca", "otherca"})
        Run(QStringList{"req", "-x509"} + kKeyOptions +
            QStringList{"-keyout", QString(authority) + ".key", "-out", QString(authority) + ".pem",
                        "-days", "2", "-subj", QString("/CN=Regiscribe test ") + authority});
    const QString local = "DNS:localhost,IP:127.0.0.1";
    Sign("server", local, "ca", 2);
    Sign("expired", local, "ca", -1);
    Sign("otherhost", "DNS:other.example", "ca", 2);
    Sign("untrusted", local, "otherca", 2);
    WriteAll(File("selfsigned.ext"), "subjectAltName=" + local.toUtf8() + "\n");
    Run(QStringList{"req", "-x509"} + kKeyOptions +
        QStringList{"-keyout", "selfsigned.key", "-out", "selfsigned.pem", "-days", "2", "-subj",
                    "/CN=localhost", "-addext", "subjectAltName=" + local});
}

TrustTestAuthority::TrustTestAuthority(const QString& caFile)
    : previous_(qgetenv("REGISCRIBE_CA_FILE")),
      had_(qEnvironmentVariableIsSet("REGISCRIBE_CA_FILE")) {
    qputenv("REGISCRIBE_CA_FILE", caFile.toLocal8Bit());
}

TrustTestAuthority::~TrustTestAuthority() {
    if (had_)
        qputenv("REGISCRIBE_CA_FILE", previous_);
    else
        qunsetenv("REGISCRIBE_CA_FILE");
}
