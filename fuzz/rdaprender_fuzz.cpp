// The RDAP renderer on any JSON: it ends, and every line it gives is one line of text.
#include "fuzzinput.h"
#include "lookup/rdaprender.h"

#include <QJsonDocument>
#include <QJsonObject>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    const QJsonDocument document = QJsonDocument::fromJson(input.Rest());
    if (!document.isObject()) return 0;
    const QJsonObject answer = document.object();
    for (const QString& line : RenderRdap(answer))
        if (line.contains('\n') || line.contains('\r'))
            PropertyFailed("a rendered line holds a line break", line.toUtf8());
    RegistrarLink(answer);
    return 0;
}
