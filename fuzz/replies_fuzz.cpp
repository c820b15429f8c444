// The mailbox's answers and the replies' readers on anything a server sends: a FETCH transcript
// gives messages whose text lies within it, and each message gives a reply and a verdict whose
// objects are each done or refused.
#include "fuzzinput.h"
#include "replies/imapanswer.h"
#include "replies/replyverdict.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    const bool transcript = input.Byte() & 1;
    const QByteArray rest = input.Rest();
    std::vector<QByteArray> messages;
    if (transcript) {
        const Result<std::vector<FetchedMessage>> fetched = FetchResultIn(rest);
        if (fetched)
            for (const FetchedMessage& m : fetched.Value()) {
                Require(m.header.size() + m.text.size() <= rest.size(),
                        "a fetched message larger than the transcript");
                messages.push_back(m.Message());
            }
    } else {
        messages.push_back(rest);
    }
    for (const QByteArray& raw : messages) {
        const ReplyVerdict verdict = ReadVerdict(ReadReplyMessage(raw));
        for (const ObjectResult& object : verdict.objects)
            Require(object.result == ReplyStatus::Done || object.result == ReplyStatus::Refused,
                    "an object's result is neither done nor refused");
    }
    return 0;
}
