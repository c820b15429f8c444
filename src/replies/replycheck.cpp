#include "replies/replycheck.h"

#include "platform/peertext.h"
#include "replies/imapanswer.h"
#include "replies/mailboxreader.h"
#include "replies/mailboxsession.h"
#include "replies/privatefiles.h"
#include "replies/replymatching.h"
#include "replies/replyreading.h"
#include "replies/replystate.h"

#include <QFile>
#include <QRegularExpression>
#include <algorithm>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {
// Holds the sent folder's lock for as long as it lives: one check at a time writes its files.
class CheckLock {
public:
    explicit CheckLock(const QString& folder)
        : fd_(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {}
    ~CheckLock() {
        if (fd_ >= 0) ::close(fd_);
    }
    bool Taken() const { return fd_ >= 0 && ::flock(fd_, LOCK_EX | LOCK_NB) == 0; }

private:
    int fd_;
};

class Check {
public:
    Check(const ReplyCheckRequest& request, const CancelToken& token)
        : request_(request), token_(token),
          stateKey_(MailboxStateKey(request.mailbox.user, request.mailbox.server,
                                    request.mailbox.folder)) {}

    Result<ReplyCheckOutcome> Run() {
        Result<std::vector<RegistrationState>> states = ReadRegistrationStates(request_.sentFolder);
        if (!states) return Fail(states.Error());
        states_ = std::move(states.Value());
        QDateTime oldest;
        for (const RegistrationState& state : states_)
            if (state.Open() && (!oldest.isValid() || state.registration.when < oldest))
                oldest = state.registration.when;
        if (!oldest.isValid()) return outcome_;

        Result<MailboxState> kept = ReadMailboxState(request_.sentFolder, stateKey_);
        if (!kept) return Fail(kept.Error());
        Result<std::unique_ptr<MailboxSession>> session =
            MailboxSession::Open(request_.mailbox, request_.password);
        if (!session) return Fail(session.Error());
        session_ = std::move(session.Value());
        outcome_.mailboxRead = true;

        // SINCE compares days in the server's zone: a day earlier misses nothing.
        MailboxReader reader(*session_, token_);
        MailboxState state = kept.Value();
        Result<std::vector<quint32>> uids =
            reader.NewUids(state, oldest.toUTC().date().addDays(-1));
        if (!uids) return Fail(uids.Error());
        const ReplyMatcher matcher(states_);
        // The state is written when a reply was kept (with its log line) and at the end, also
        // after a failure: how far the folder was read, without a write to the disk per group.
        Done read = reader.Fetch(
            uids.Value(), [&](const FetchedMessage& message) { return Take(matcher, message); },
            [&](quint32 uid) {
                state.lastUid = uid;
                if (!keptSinceSaved_) return Done();
                keptSinceSaved_ = false;
                return WriteMailboxState(request_.sentFolder, stateKey_, state);
            });
        const bool moved = state.lastUid != kept->lastUid || state.uidValidity != kept->uidValidity;
        const Done saved =
            moved ? WriteMailboxState(request_.sentFolder, stateKey_, state) : Done();
        if (!read) return Fail(read.Error());
        if (!saved) return Fail(saved.Error());
        return outcome_;
    }

private:
    Done Take(const ReplyMatcher& matcher, const FetchedMessage& fetched) {
        ++outcome_.fetched;
        const QByteArray raw = fetched.Message();
        const ReplyMessage reply = ReadReplyMessage(raw, fetched.arrived);
        const ReplyVerdict verdict = ReadVerdict(reply);
        const ReplyMatch match = matcher.Match(reply, verdict);
        if (match.index < 0) return {};
        return Keep(fetched, raw, reply, verdict, states_[size_t(match.index)]);
    }

    Done Keep(const FetchedMessage& fetched, const QByteArray& raw, const ReplyMessage& reply,
              const ReplyVerdict& verdict, RegistrationState& state) {
        // A reply kept before (the folder renumbered and read again) is not kept twice.
        if (!reply.messageId.isEmpty())
            for (const ReplyLogEntry& earlier : state.replies)
                if (earlier.replyId == reply.messageId) return {};
        Result<QString> file = KeepReplyText(request_.sentFolder, fetched.uid, raw);
        if (!file) return Fail(file.Error());
        ReplyLogEntry entry;
        entry.registrationId = state.registration.messageId;
        entry.replyId = reply.messageId;
        entry.date = reply.date;
        entry.verdict = verdict.status;
        entry.number = verdict.number;
        entry.file = file.Value();
        if (Done logged = AppendReplyLog(request_.sentFolder, entry); !logged) return logged;
        state.Apply(entry);
        outcome_.found.push_back({state.registration, entry});
        keptSinceSaved_ = true;
        return {};
    }

    const ReplyCheckRequest& request_;
    CancelToken token_;
    QString stateKey_;
    std::vector<RegistrationState> states_;
    std::unique_ptr<MailboxSession> session_;
    ReplyCheckOutcome outcome_;
    bool keptSinceSaved_ = false;
};
} // namespace

Result<ReplyCheckOutcome> CheckForReplies(const ReplyCheckRequest& request,
                                          const CancelToken& token) {
    if (!QFile::exists(request.sentFolder)) return ReplyCheckOutcome{};
    if (Done folder = MakePrivateFolder(request.sentFolder); !folder) return Fail(folder.Error());
    const CheckLock lock(request.sentFolder);
    if (!lock.Taken()) return Fail("Another check for replies is running.");
    return Check(request, token).Run();
}

void StartReplyCheck(QObject* context, const CancelToken& token, ReplyCheckRequest request,
                     std::function<void(Result<ReplyCheckOutcome>)> done) {
    Tasks::Run<Result<ReplyCheckOutcome>>(
        context, token, [request](const CancelToken& t) { return CheckForReplies(request, t); },
        std::move(done));
}

Result<QString> TestMailbox(const MailboxEndpoint& mailbox, const QString& password,
                            const CancelToken& token) {
    Result<std::unique_ptr<MailboxSession>> session = MailboxSession::Open(mailbox, password);
    if (!session) return Fail(session.Error());
    Result<QByteArray> answer = session.Value()->Command("NOOP", token);
    if (!answer) return Fail(answer.Error());
    static const QRegularExpression exists(R"(^\* (\d+) EXISTS)",
                                           QRegularExpression::MultilineOption);
    const QString count = exists.match(QString::fromLatin1(answer.Value())).captured(1);
    const QString safeServer = PeerText(mailbox.server, PeerTextLines::Escape);
    const QString safeUser = PeerText(mailbox.user, PeerTextLines::Escape);
    const QString safeFolder = PeerText(mailbox.folder, PeerTextLines::Escape);
    return "Signed in to " + safeServer + " as " + safeUser + "; folder " + safeFolder +
           (count.isEmpty() ? QString(" opened.")
                            : " holds " + count + (count == "1" ? " message." : " messages."));
}

void StartMailboxTest(QObject* context, const CancelToken& token, MailboxEndpoint mailbox,
                      QString password, std::function<void(Result<QString>)> done) {
    Tasks::Run<Result<QString>>(
        context, token,
        [mailbox, password](const CancelToken& t) { return TestMailbox(mailbox, password, t); },
        std::move(done));
}

QString NewRepliesText(const ReplyCheckOutcome& outcome) {
    if (outcome.found.empty()) return QStringLiteral("No new replies.");
    QStringList parts;
    for (const FoundReply& found : outcome.found) {
        const QString name =
            found.registration.name.isEmpty() ? found.registration.kind : found.registration.name;
        parts << PeerText(name, PeerTextLines::Escape) + ' ' + StatusWord(found.entry.verdict);
    }
    return "Replies: " + parts.join(", ") + ".";
}
