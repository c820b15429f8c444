#pragma once
// Every Clear and Clear All of the main window empties its fields without a question; what it
// emptied is kept so that Ctrl+Z, pressed before any of those fields changes again, puts it back.
// The page's status line says so.
#include "templates/recordmodel.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <vector>

class TForm1;
class TRecordPages;

// The status line's words after a clear.
QString ClearedStatusText();
QString RestoredStatusText();

class TClearUndo : public QObject {
    Q_OBJECT
public:
    TClearUndo(TForm1& form, const TRecordPages& pages);

    // Empties `fields` of `page`, keeping what they held.
    void Clear(RecordKind page, const QStringList& fields);
    // Puts back what the last clear emptied; false when there is nothing (left) to put back.
    bool Restore();
    bool CanRestore() const { return !kept_.empty(); }

private:
    struct Kept {
        QString control;
        QString text;
        int index; // a selector's chosen item, -1 for none or for other fields
    };
    void WatchFields();
    void Forget();

    TForm1& form_;
    const TRecordPages& pages_;
    RecordKind page_ = RecordKind::Domain;
    std::vector<Kept> kept_;
    bool placing_ = false; // our own clearing and restoring are no change by the user
};
