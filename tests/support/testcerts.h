#pragma once
// Certificates for one test, made by openssl in a temporary folder: a test authority, and server
// certificates it signed for localhost and 127.0.0.1 (valid, expired), one for another host, and
// one signed by an authority nobody trusts. Trust the test authority with TrustTestAuthority.
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

class TestCertificates {
public:
    TestCertificates();
    // False when openssl failed (the reason is in Problem).
    bool Made() const { return problem_.isEmpty(); }
    const QString& Problem() const { return problem_; }

    QString Authority() const { return File("ca.pem"); }
    // Certificate and key files by name: "server" (localhost and 127.0.0.1), "expired" (the same
    // names, out of date), "otherhost" (other.example only), "untrusted" (localhost, another
    // authority), "selfsigned" (localhost, signed by itself).
    QString Cert(const QString& name) const { return File(name + ".pem"); }
    QString Key(const QString& name) const { return File(name + ".key"); }

private:
    QString File(const QString& name) const { return dir_.filePath(name); }
    bool Run(const QStringList& args);
    void Sign(const QString& name, const QString& names, const QString& authority, int days);

    QTemporaryDir dir_;
    QString problem_;
};

// Points REGISCRIBE_CA_FILE at a file for as long as it lives.
class TrustTestAuthority {
public:
    explicit TrustTestAuthority(const QString& caFile);
    ~TrustTestAuthority();

private:
    QByteArray previous_;
    bool had_;
};
