#include "editing/ui/clearundo.h"

#include "app/ui/form1.h"
#include "app/ui/recordpage.h"
#include "app/ui/statusline.h"
#include "editing/ui/formfields.h"
#include "platform/guard.h"
#include "templates/ui/windowrecord.h"

#include <QComboBox>
#include <QKeySequence>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QSignalBlocker>

QString ClearedStatusText() {
    return "Cleared: Ctrl+Z restores";
}

QString RestoredStatusText() {
    return "Restored what was cleared";
}

TClearUndo::TClearUndo(TForm1& form, const TRecordPages& pages)
    : QObject(&form), form_(form), pages_(pages) {
    setObjectName("ClearUndo");
    WatchFields();
    // An edit with the focus takes Ctrl+Z for its own undo first; on a button (where a clear
    // leaves the focus) or elsewhere in the window it reaches this shortcut.
    auto* undo = new QShortcut(QKeySequence::Undo, &form);
    undo->setObjectName("ClearUndoShortcut");
    undo->setContext(Qt::WindowShortcut);
    connect(undo, &QShortcut::activated, this, [this] { Guarded([this] { Restore(); }); });
}

void TClearUndo::WatchFields() {
    // Any later change to a cleared field, by the user or by code (a record opened, a copy
    // button), makes the kept texts stale: restoring them then would overwrite new work.
    auto changed = [this] {
        if (!placing_) Forget();
    };
    for (const TRecordPage& page : pages_)
        for (const QString& name : page.Info().clearAllFields) {
            QWidget* w = FieldControl(form_, name);
            if (auto* edit = qobject_cast<QLineEdit*>(w))
                connect(edit, &QLineEdit::textChanged, this, changed);
            else if (auto* box = qobject_cast<QComboBox*>(w))
                connect(box, &QComboBox::editTextChanged, this, changed);
            else if (auto* memo = qobject_cast<QPlainTextEdit*>(w))
                connect(memo, &QPlainTextEdit::textChanged, this, changed);
        }
}

void TClearUndo::Clear(RecordKind page, const QStringList& fields) {
    std::vector<Kept> kept;
    for (const QString& field : fields) {
        auto* box = qobject_cast<QComboBox*>(FieldControl(form_, field));
        kept.push_back({field, TextOfField(form_, field), box ? box->currentIndex() : -1});
    }
    placing_ = true;
    for (const QString& field : fields)
        PlaceFieldText(form_, field, QString());
    placing_ = false;
    kept_ = std::move(kept);
    page_ = page;
    ShowStatus(pages_.Of(page), ClearedStatusText());
}

bool TClearUndo::Restore() {
    if (kept_.empty()) return false;
    placing_ = true;
    for (const Kept& k : kept_) {
        auto* box = qobject_cast<QComboBox*>(FieldControl(form_, k.control));
        if (box && k.index >= 0) {
            // The chosen item first, quietly, so the box shows and selects the same value again.
            const QSignalBlocker quiet(box);
            box->setCurrentIndex(k.index);
        }
        PlaceFieldText(form_, k.control, k.text);
    }
    placing_ = false;
    kept_.clear();
    ShowStatus(pages_.Of(page_), RestoredStatusText());
    return true;
}

void TClearUndo::Forget() {
    kept_.clear();
}
