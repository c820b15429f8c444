#pragma once
// The template commands of the main window: the domain review page, Show Form and Print on the
// three record pages, and the form viewer.
#include "templates/showform.h"

#include <QFont>
#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>

class QPlainTextEdit;
class QPrintDialog;
class QPrinter;
class TForm1;
class TFormView;
class TRecordPages;
struct TRecordPage;

class TTemplates : public QObject {
    Q_OBJECT
public:
    TTemplates(TForm1& form, const TRecordPages& pages);
    ~TTemplates() override;

    // The record store's name-list step of Show Form (add a New name to the kind's name box and
    // list file, remove a Delete entry with its files). Runs after the text holder is loaded and
    // the window's path fields are set; does nothing until the record store sets it.
    std::function<void(RecordKind kind, const Record& record, const TemplateFiles& files)>
        UpdateNameListStep;

    void PageControl2Change();
    void RefreshDomainReview();
    // A page's Show Form and Print buttons.
    void ShowFormClick(RecordKind kind);
    void PrintClick(RecordKind kind);

    // The viewer: the one start-up created, or one of its own when there is none.
    TFormView& FormView();
    // The printer PrintDialog1 prints to, and the dialog, both made at the first print. The
    // dialog's "Preview..." shows what Print is about to print, page by page, through the same
    // text device; printing from the preview ends the dialog as well.
    QPrinter& Printer();
    QPrintDialog& PrintDialog1();
    void ShowPreview();

private:
    // True when the template was written and shown.
    bool RunShowForm(const TRecordPage& page,
                     const std::function<void(const QStringList&)>& loadHolder);
    QPlainTextEdit& Holder(const TRecordPage& page) const;

    TForm1& form_;
    const TRecordPages& pages_;
    std::unique_ptr<TFormView> ownViewer_;
    std::unique_ptr<QPrinter> printer_;
    QPrintDialog* printDialog_ = nullptr;
    // What the print in progress prints, for the preview.
    QFont printFont_;
    QStringList printLines_;
};
