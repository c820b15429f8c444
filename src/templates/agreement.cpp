#include "templates/agreement.h"

#include "platform/exception.h"

#include <QFile>

// Outside any namespace, as resource registration requires. The resource lives in a static
// library: registering it here keeps the linker from dropping it.
static void RegisterAgreementResource() {
    Q_INIT_RESOURCE(agreement);
}

namespace {
QStringList LoadAgreement() {
    RegisterAgreementResource();
    QFile file(":/templates/agreement.txt");
    if (!file.open(QIODevice::ReadOnly)) throw Exception("The registration agreement is missing");
    QString text = QString::fromUtf8(file.readAll());
    text.remove('\r');
    if (text.endsWith('\n')) text.chop(1);
    return text.split('\n');
}
} // namespace

const QStringList& AgreementLines() {
    static const QStringList lines = LoadAgreement();
    return lines;
}
