// The message decoder of the receiving side on any text: it ends without failing, and a message
// it read can be written out again.
#include "fuzzinput.h"
#include "mail/msmsg.h"

#include <QBuffer>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    QByteArray text = input.Rest();
    QBuffer stream(&text);
    stream.open(QIODevice::ReadOnly);
    TmsMessage message;
    try {
        message.DecodeFromStream(stream);
    } catch (const Exception&) {
        return 0;
    }
    QByteArray again;
    QBuffer out(&again);
    out.open(QIODevice::WriteOnly);
    try {
        message.EncodeToStream(out);
    } catch (const Exception&) {
    }
    return 0;
}
