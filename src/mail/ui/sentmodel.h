#pragma once
// The rows of Sent Registrations: the log's entries held as read (one block of bytes and a small
// record per entry, the texts made only for the rows shown), and the filter and order the window
// shows them in. Subsystems that extend the window add one column of their own (the replies'
// status) through the same model, so that one filter and one sort cover it.
#include "mail/sentcopy.h"

#include <QAbstractTableModel>
#include <QCollatorSortKey>
#include <QDate>
#include <QIcon>
#include <QSortFilterProxyModel>
#include <optional>

class TSentModel : public QAbstractTableModel {
public:
    enum Column { TimeColumn, KindColumn, NameColumn, RecipientColumn, ReplyColumn, SignedColumn };
    // The added column's cell: its text, icon and the group a filter chooses it by.
    struct ExtraCell {
        QString text;
        QIcon icon;
        QString group;
    };
    static constexpr int ExtraColumn = SignedColumn + 1;
    // The moment of a row, for sorting by time.
    static constexpr int MomentRole = Qt::UserRole + 1;

    using QAbstractTableModel::QAbstractTableModel;

    // The rows of a log read anew; the extra column's cells are emptied.
    void Load(SentLogScan scan);
    // Drops every row and gives their memory back.
    void Clear();
    const SentLogScan& Log() const { return log_; }
    SentEntry EntryAt(int row) const { return log_.Entry(log_.rows[size_t(row)]); }
    QDate DateAt(int row) const;

    // The title of the added column; none before this is called.
    void AddExtraColumn(const QString& title);
    // The added column's cells, by row; missing ones are empty.
    void SetExtraCells(std::vector<ExtraCell> cells);
    const ExtraCell* ExtraAt(int row) const;

    // The cell's text as shown (also what the sort orders by).
    QString Text(int row, int column) const;
    // Whether the row's kind, name (either form), recipient or added cell holds `text` in any
    // case: read from the log's fields as they are, for a filter that keeps pace with typing.
    bool Holds(int row, const QString& text) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    SentLogScan log_;
    QString extraTitle_;
    std::vector<ExtraCell> extra_;
};

// What the window shows of the model: the rows that the filter keeps, in the order of the column
// chosen. Text columns order as the reader's language orders text; the time by the moment.
class TSentFilter : public QSortFilterProxyModel {
public:
    explicit TSentFilter(TSentModel& model, QObject* parent = nullptr);

    // Rows whose kind, name, recipient or added column hold `text` (any case); empty keeps all.
    void SetText(const QString& text);
    // Rows sent on `from` or later and on `to` or earlier (a date of the local time); either
    // may be open.
    void SetDates(std::optional<QDate> from, std::optional<QDate> to);
    // Rows whose added column's group is `group`; empty keeps all.
    void SetGroup(const QString& group);

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override;
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    void Refilter();
    // The sort keys of a text column, made once per sort instead of at every comparison.
    const std::vector<QCollatorSortKey>& KeysOf(int column) const;

    TSentModel& model_;
    QString text_;
    std::optional<QDate> from_, to_;
    QString group_;
    mutable int keysColumn_ = -1;
    mutable std::vector<QCollatorSortKey> keys_;
};
