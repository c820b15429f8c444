#include "replies/ui/replypane.h"

#include "platform/peertext.h"
#include "replies/ui/verdicticons.h"

#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace {
QString Safe(const QString& text) {
    return PeerText(text, PeerTextLines::Escape);
}

QString When(const QDateTime& when) {
    return when.isValid() ? QLocale::system().toString(when.toLocalTime(), QLocale::ShortFormat)
                          : QStringLiteral("an unknown time");
}
} // namespace

TReplyPane::TReplyPane(QWidget* parent) : QWidget(parent) {
    setObjectName("ReplyPane");
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    Heading = new QLabel(this);
    Heading->setObjectName("ReplyHeading");
    Heading->setWordWrap(true);
    Heading->setTextFormat(Qt::PlainText);
    Heading->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    column->addWidget(Heading);
    ResultList = new QListWidget(this);
    ResultList->setObjectName("ReplyResultList");
    ResultList->setAccessibleName("Results of the reply");
    ResultList->setWordWrap(true);
    ResultList->setUniformItemSizes(false);
    column->addWidget(ResultList, 1);
    ReplyText = new QPlainTextEdit(this);
    ReplyText->setObjectName("ReplyText");
    ReplyText->setAccessibleName("Text of the reply");
    ReplyText->setReadOnly(true);
    ReplyText->setLineWrapMode(QPlainTextEdit::NoWrap);
    ReplyText->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    column->addWidget(ReplyText, 2);
}

TReplyPane::~TReplyPane() {
    token_.Cancel();
}

void TReplyPane::Clear() {
    token_.Cancel();
    reading_ = false;
    Heading->clear();
    ResultList->clear();
    ReplyText->clear();
}

void TReplyPane::Show(const QString& sentFolder, const RegistrationState& state) {
    Clear();
    const QString status = state.StatusText(QDateTime::currentDateTime());
    const ReplyLogEntry* deciding = state.DecidingReply();
    if (!deciding) {
        Heading->setText("No reply yet (" + status + ").");
        return;
    }
    Heading->setText("Reading the reply of " + When(deciding->date) + "...");
    reading_ = true;
    token_ = CancelToken();
    const ReplyLogEntry entry = *deciding;
    StartReadingKeptReply(this, token_, sentFolder, entry,
                          [this, state, entry](Result<ReplyReading> reading) {
                              reading_ = false;
                              if (!reading) {
                                  Heading->setText(reading.Error());
                                  return;
                              }
                              ShowReading(state, entry, reading.Value());
                          });
}

void TReplyPane::ShowReading(const RegistrationState& state, const ReplyLogEntry& entry,
                             const ReplyReading& reading) {
    QString heading = "Reply of " + When(entry.date);
    if (!reading.message.fromAddress.isEmpty())
        heading += " from " + Safe(reading.message.fromAddress);
    heading += ": " + state.StatusText(QDateTime::currentDateTime());
    if (state.replies.size() > 1)
        heading +=
            " (the latest deciding one of " + QString::number(state.replies.size()) + " replies)";
    Heading->setText(heading + ".");
    if (!reading.message.subject.isEmpty())
        Heading->setText(Heading->text() + "\nSubject: " + Safe(reading.message.subject));
    for (const VerdictLine& line : VerdictLines(reading)) {
        auto* item = new QListWidgetItem(ResultList);
        // Error lines stand one level in under their object's line.
        item->setText(QString(line.depth * 4, ' ') + line.text);
        QString spoken = line.text;
        if (line.mark) {
            item->setIcon(VerdictIcon(*line.mark));
            spoken = StatusWord(*line.mark) + ": " + line.text;
        }
        item->setData(Qt::AccessibleTextRole, spoken);
        item->setToolTip(line.text);
    }
    if (ResultList->count() == 0)
        new QListWidgetItem(
            "The reply names no objects: " + StatusWord(reading.verdict.status) + ".", ResultList);
    QStringList text;
    for (const QString& line : reading.message.lines)
        text << PeerText(line, PeerTextLines::Escape);
    ReplyText->setPlainText(text.join('\n'));
}
