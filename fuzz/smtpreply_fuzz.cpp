// The mail client's reply reader, fed any bytes by a loopback server that then hangs up: it ends
// with replies or its error, never takes a line longer than its limit (shown with its escapes),
// and gives the first line's code.
#include "fuzzinput.h"
#include "mail/agsocket.h"
#include "support/scriptedserver.h"

#include <QCoreApplication>

namespace {
// The transport with no greeting and no farewell: the bytes are read as replies.
class ReplyReader : public TmsMailBase {
public:
    ReplyReader() {
        SetServiceName("smtp");
        SetDefaultPort(25);
        SetTimeOut(5);
    }
    void StartSession() override { ConnectSocket(); }
    void EndSession() override {}
};
} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    ScriptedServer server({}, ServerReply::RawAndClose(input.Rest()));
    ReplyReader reader;
    reader.SetServer("127.0.0.1:" + QString::number(server.Port()));
    try {
        reader.Reset();
        reader.Connect();
        for (int reply = 0; reply < 1000; ++reply) {
            const int code = reader.ReadReply();
            Require(!reader.ReplyLines().isEmpty(), "a reply without lines");
            // A line holds at most the limit's bytes; a control or invisible character among them
            // is shown as an escape of at most 8 characters ("\u{200B}").
            for (const QString& line : reader.ReplyLines())
                Require(line.size() <= 8 * TagSocket::MaxLineLength, "a reply line over the limit");
            Require(code == reader.ReplyCode(reader.ReplyLines().first()),
                    "the code is not the first line's");
            if (code == -1 && reader.LastReply().isEmpty()) break;
        }
    } catch (const Exception&) {
    }
    reader.Close();
    return 0;
}
