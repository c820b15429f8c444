#include "replies/ui/replypane.h"

#include "platform/peertext.h"
#include "replies/ui/verdicticons.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace {
QString Safe(const QString& text) {
    return PeerText(text, PeerTextLines::Escape);
}

// "done", "received NIC-261209.17" (as the Status column says it).
QString VerdictText(const ReplyLogEntry& reply) {
    if (reply.verdict == ReplyStatus::Received && !reply.number.isEmpty())
        return StatusWord(reply.verdict) + ' ' + Safe(reply.number);
    return StatusWord(reply.verdict);
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
    chooserRow_ = new QWidget(this);
    auto* chooser = new QHBoxLayout(chooserRow_);
    chooser->setContentsMargins(0, 0, 0, 0);
    ReplyChooser = new QComboBox(chooserRow_);
    ReplyChooser->setObjectName("ReplyChooser");
    ReplyChooser->setAccessibleName("Reply shown");
    auto* label = new QLabel("&Reply:", chooserRow_);
    label->setBuddy(ReplyChooser);
    chooser->addWidget(label);
    chooser->addWidget(ReplyChooser, 1);
    chooserRow_->hide();
    column->addWidget(chooserRow_);
    connect(ReplyChooser, &QComboBox::activated, this, &TReplyPane::ShowReply);
    Heading = new QLabel(this);
    Heading->setObjectName("ReplyHeading");
    Heading->setWordWrap(true);
    Heading->setTextFormat(Qt::PlainText);
    Heading->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    column->addWidget(Heading);
    Heading->hide(); // until a registration is shown
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
    replies_.clear();
    ReplyChooser->clear();
    chooserRow_->hide();
    // Empty, it would be a nameless stop in the keyboard's path.
    Heading->clear();
    Heading->hide();
    ResultList->clear();
    ReplyText->clear();
}

void TReplyPane::Show(const QString& sentFolder, const RegistrationState& state) {
    Clear();
    Heading->show();
    const ReplyLogEntry* deciding = state.DecidingReply();
    if (!deciding) {
        Heading->setText("No reply yet (" + state.StatusText(QDateTime::currentDateTime()) + ").");
        return;
    }
    sentFolder_ = sentFolder;
    replies_ = state.replies;
    for (const ReplyLogEntry& reply : replies_)
        ReplyChooser->addItem(When(reply.date) + ": " + VerdictText(reply));
    const int shown = int(deciding - state.replies.data());
    ReplyChooser->setCurrentIndex(shown);
    chooserRow_->setVisible(replies_.size() > 1);
    ShowReply(shown);
}

void TReplyPane::ShowReply(int index) {
    if (index < 0 || size_t(index) >= replies_.size()) return;
    token_.Cancel();
    ResultList->clear();
    ReplyText->clear();
    const ReplyLogEntry entry = replies_[size_t(index)];
    Heading->setText("Reading the reply of " + When(entry.date) + "...");
    reading_ = true;
    token_ = CancelToken();
    StartReadingKeptReply(this, token_, sentFolder_, entry,
                          [this, entry](Result<ReplyReading> reading) {
                              reading_ = false;
                              if (!reading) {
                                  Heading->setText(reading.Error());
                                  return;
                              }
                              ShowReading(entry, reading.Value());
                          });
}

void TReplyPane::ShowReading(const ReplyLogEntry& entry, const ReplyReading& reading) {
    QString heading = "Reply of " + When(entry.date);
    if (!reading.message.fromAddress.isEmpty())
        heading += " from " + Safe(reading.message.fromAddress);
    Heading->setText(heading + ": " + VerdictText(entry) + ".");
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
