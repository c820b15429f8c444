#include "mail/ui/sentmodel.h"

#include "mail/sentcopy.h"
#include "mail/submissiontexts.h"
#include "platform/idna.h"
#include "platform/peertext.h"

#include <QCollator>
#include <QLocale>
#include <algorithm>

namespace {
const char* const kTitles[] = {"Time", "Kind", "Name", "Recipient", "Server reply", "Signature"};

bool HoldsALabel(QByteArrayView name) {
    for (qsizetype i = 0; i + 3 < name.size(); ++i)
        if ((name[i] == 'x' || name[i] == 'X') && (name[i + 1] == 'n' || name[i + 1] == 'N') &&
            name[i + 2] == '-' && name[i + 3] == '-')
            return true;
    return false;
}

// A domain or host name that went as its A-label, with its Unicode form beside it.
QString ShownName(QByteArrayView kind, QByteArrayView name) {
    const QString text = QString::fromUtf8(name);
    if ((kind != "domain" && kind != "host") || !HoldsALabel(name)) return text;
    const std::optional<QString> unicode = ToULabel(text);
    if (!unicode || *unicode == text) return text;
    return text + " (" + *unicode + ")";
}

// A field as the window shows it: a log written by an older version may hold a server's control
// characters as they came.
QString Shown(QByteArrayView field) {
    return PeerText(QString::fromUtf8(field), PeerTextLines::Escape);
}
} // namespace

void TSentModel::Load(SentLogScan scan) {
    beginResetModel();
    log_ = std::move(scan);
    extra_.clear();
    endResetModel();
}

void TSentModel::Clear() {
    beginResetModel();
    // Swapped out, not cleared: a cleared vector keeps its memory.
    SentLogScan().bytes.swap(log_.bytes);
    log_ = SentLogScan();
    std::vector<ExtraCell>().swap(extra_);
    endResetModel();
}

QDate TSentModel::DateAt(int row) const {
    return log_.When(log_.rows[size_t(row)]).date();
}

void TSentModel::AddExtraColumn(const QString& title) {
    beginResetModel();
    extraTitle_ = title;
    endResetModel();
}

void TSentModel::SetExtraCells(std::vector<ExtraCell> cells) {
    extra_ = std::move(cells);
    if (rowCount() > 0 && !extraTitle_.isEmpty())
        emit dataChanged(index(0, ExtraColumn), index(rowCount() - 1, ExtraColumn));
}

const TSentModel::ExtraCell* TSentModel::ExtraAt(int row) const {
    return row >= 0 && size_t(row) < extra_.size() ? &extra_[size_t(row)] : nullptr;
}

QString TSentModel::Text(int row, int column) const {
    const SentLogRow& entry = log_.rows[size_t(row)];
    switch (column) {
    case TimeColumn:
        return QLocale::system().toString(log_.When(entry), QLocale::ShortFormat);
    case KindColumn:
        return Shown(log_.Field(entry, 1));
    case NameColumn:
        return PeerText(ShownName(log_.Field(entry, 1), log_.Field(entry, 2)),
                        PeerTextLines::Escape);
    case RecipientColumn:
        return Shown(log_.Field(entry, 3));
    case ReplyColumn:
        return Shown(log_.Field(entry, 5));
    case SignedColumn: {
        const QByteArrayView signer = log_.Field(entry, 6);
        return signer.isEmpty() ? QString() : SignedWithNote(Shown(signer));
    }
    case ExtraColumn:
        if (const ExtraCell* cell = ExtraAt(row)) return cell->text;
        break;
    }
    return QString();
}

bool TSentModel::Holds(int row, const QString& text) const {
    const SentLogRow& entry = log_.rows[size_t(row)];
    for (int field : {1, 2, 3})
        if (QString::fromUtf8(log_.Field(entry, field)).contains(text, Qt::CaseInsensitive))
            return true;
    if (HoldsALabel(log_.Field(entry, 2)) &&
        Text(row, NameColumn).contains(text, Qt::CaseInsensitive))
        return true;
    const ExtraCell* extra = ExtraAt(row);
    return extra && extra->text.contains(text, Qt::CaseInsensitive);
}

int TSentModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(log_.rows.size());
}

int TSentModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    return extraTitle_.isEmpty() ? ExtraColumn : ExtraColumn + 1;
}

QVariant TSentModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return Text(index.row(), index.column());
    case Qt::ToolTipRole:
        // The long ones, which a narrow column cuts.
        if (index.column() >= ReplyColumn) return Text(index.row(), index.column());
        break;
    case Qt::DecorationRole:
        if (index.column() == ExtraColumn)
            if (const ExtraCell* cell = ExtraAt(index.row())) return cell->icon;
        break;
    case MomentRole:
        return log_.rows[size_t(index.row())].msecs;
    }
    return QVariant();
}

QVariant TSentModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QVariant();
    if (section >= 0 && section < ExtraColumn) return QString::fromLatin1(kTitles[section]);
    if (section == ExtraColumn) return extraTitle_;
    return QVariant();
}

TSentFilter::TSentFilter(TSentModel& model, QObject* parent)
    : QSortFilterProxyModel(parent), model_(model) {
    setSourceModel(&model);
    auto forget = [this] {
        keysColumn_ = -1;
        std::vector<QCollatorSortKey>().swap(keys_);
    };
    connect(&model, &QAbstractItemModel::modelReset, this, forget);
    connect(&model, &QAbstractItemModel::dataChanged, this, forget);
}

void TSentFilter::SetText(const QString& text) {
    if (text == text_) return;
    text_ = text;
    Refilter();
}

void TSentFilter::SetDates(std::optional<QDate> from, std::optional<QDate> to) {
    if (from == from_ && to == to_) return;
    from_ = from;
    to_ = to;
    Refilter();
}

void TSentFilter::SetGroup(const QString& group) {
    if (group == group_) return;
    group_ = group;
    Refilter();
}

void TSentFilter::Refilter() {
    // Mapped anew and told as one change of layout: filtering row by row would tell the view of
    // every run of rows that goes, thousands in a long log.
    invalidate();
}

bool TSentFilter::filterAcceptsRow(int row, const QModelIndex&) const {
    if (from_ || to_) {
        const QDate date = model_.DateAt(row);
        if ((from_ && date < *from_) || (to_ && date > *to_)) return false;
    }
    const TSentModel::ExtraCell* extra = model_.ExtraAt(row);
    if (!group_.isEmpty() && (!extra || extra->group != group_)) return false;
    if (text_.isEmpty()) return true;
    for (int column : {TSentModel::KindColumn, TSentModel::NameColumn, TSentModel::RecipientColumn})
        if (model_.Text(row, column).contains(text_, Qt::CaseInsensitive)) return true;
    return extra && extra->text.contains(text_, Qt::CaseInsensitive);
}

const std::vector<QCollatorSortKey>& TSentFilter::KeysOf(int column) const {
    if (keysColumn_ != column) {
        QCollator collator;
        collator.setNumericMode(true);
        std::vector<QCollatorSortKey>().swap(keys_);
        keys_.reserve(size_t(model_.rowCount()));
        for (int row = 0; row < model_.rowCount(); ++row)
            // Folded first: a collator of the C locale would put every capital first.
            keys_.push_back(collator.sortKey(model_.Text(row, column).toCaseFolded()));
        keysColumn_ = column;
    }
    return keys_;
}

bool TSentFilter::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    const std::vector<SentLogRow>& rows = model_.Log().rows;
    const size_t a = size_t(left.row()), b = size_t(right.row());
    if (left.column() == TSentModel::TimeColumn) {
        // The same moment: the later line of the log was written later.
        if (rows[a].msecs != rows[b].msecs) return rows[a].msecs < rows[b].msecs;
        return a < b;
    }
    const std::vector<QCollatorSortKey>& keys = KeysOf(left.column());
    const int order = keys[a].compare(keys[b]);
    if (order != 0) return order < 0;
    return rows[a].msecs < rows[b].msecs;
}
