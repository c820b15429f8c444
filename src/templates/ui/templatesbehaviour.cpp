#include "templates/ui/templatesbehaviour.h"

#include "app/ui/form1.h"
#include "platform/exception.h"
#include "platform/guard.h"
#include "platform/messageboxes.h"
#include "templates/ui/formviewer.h"
#include "templates/ui/previewsize.h"
#include "templates/ui/printing.h"
#include "templates/ui/windowrecord.h"
#include "templates/ui/windowwriters.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>

namespace {
// Value labels of the domain review tab and the field each one shows ("" for the action code).
const std::vector<std::pair<QString, QString>>& ReviewLabels() {
    static const std::vector<std::pair<QString, QString>> labels = [] {
        std::vector<std::pair<QString, QString>> l = {
            {"rdomain", "DomainNameEdit"}, {"rregtype", ""},
            {"rauthscheme", "AuthScheme"}, {"rauthinfo", "AuthInfoEdit"},
            {"rorgname", "OOrgNameEdit"},  {"rorgaddr", "OAddrEdit"},
            {"rorgcity", "OCityEdit"},     {"rorgstate", "OStateEdit"},
            {"rorgpostal", "OZipEdit"},    {"rorgcountry", "OCountryEdit"},
            {"rns1", "PriNSEdit"},         {"rns1ip", "PriNSIPEdit"},
            {"rns2", "SecNSEdit"},         {"rns2ip", "SecNSIPEdit"},
            {"rns3", "ThirdNSEdit"},       {"rns3ip", "ThirdNSIPEdit"},
            {"rns4", "fourthnsedit"},      {"rns4ip", "fourthnsipedit"},
        };
        const char* const blocks[][2] = {{"radmin", "A"}, {"rtech", "T"}, {"rbilling", "B"}};
        const char* const stems[][2] = {
            {"name", "Name"}, {"email", "Mail"},  {"handle", "Handle"}, {"type", "Role"},
            {"org", "Org"},   {"phone", "Phone"}, {"addr", "Addr"},     {"fax", "Fax"},
            {"city", "City"}, {"state", "State"}, {"postal", "Zip"},    {"country", "Country"},
        };
        for (const auto& block : blocks)
            for (const auto& stem : stems)
                l.push_back({QString(block[0]) + stem[0], QString(block[1]) + stem[1] + "Edit"});
        return l;
    }();
    return labels;
}

} // namespace

TTemplates::TTemplates(TForm1& form) : QObject(&form), form_(form) {
    setObjectName("Templates");
}

TTemplates::~TTemplates() = default;

void TTemplates::PageControl2Change() {
    RefreshDomainReview();
}

void TTemplates::RefreshDomainReview() {
    const Record record = ReadRecord(form_, RecordKind::Domain);
    for (const auto& [label, field] : ReviewLabels())
        if (QLabel* value = form_.Control<QLabel>(label))
            value->setText(field.isEmpty() ? record.action : record.Text(field));
}

void TTemplates::ShowFormClick() {
    // The viewer comes up first, with whatever it held, before any check; a Show Form that fails
    // (no name, a file error) takes a viewer it opened away again.
    TFormView& viewer = FormView();
    struct CloseUnlessShown {
        TFormView& viewer;
        bool keep;
        ~CloseUnlessShown() {
            if (!keep) viewer.hide();
        }
    } closing{viewer, viewer.isVisible()};
    viewer.ShowViewer();
    closing.keep |= RunShowForm(RecordKind::Domain, [this](const QStringList& lines) {
        FormView().SetLines(lines);
        Holder("Memo1").setPlainText(lines.join('\n'));
    });
}

void TTemplates::HostShowFormClick() {
    RunShowForm(RecordKind::Host, [this](const QStringList& lines) {
        Holder("Memo2").setPlainText(lines.join('\n'));
    });
}

void TTemplates::ContactShowFormClick() {
    RunShowForm(RecordKind::Contact, [this](const QStringList& lines) {
        Holder("Memo3").setPlainText(lines.join('\n'));
    });
}

void TTemplates::BitBtn4Click() {
    PrintHolder(RecordKind::Domain, "Memo1");
}

void TTemplates::HostPrintClick() {
    PrintHolder(RecordKind::Host, "Memo2");
}

void TTemplates::ContactPrintClick() {
    PrintHolder(RecordKind::Contact, "Memo3");
}

TFormView& TTemplates::FormView() {
    if (auto* viewer = qobject_cast<TFormView*>(form_.FormView)) return *viewer;
    ownViewer_ = std::make_unique<TFormView>();
    form_.FormView = ownViewer_.get();
    return *ownViewer_;
}

QPrinter& TTemplates::Printer() {
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        KeepTextInsidePrintableArea(*printer_);
    }
    return *printer_;
}

QPrintDialog& TTemplates::PrintDialog1() {
    if (!printDialog_) {
        printDialog_ = new QPrintDialog(&Printer(), &form_);
        printDialog_->setObjectName("PrintDialog1");
        if (auto* buttons = printDialog_->findChild<QDialogButtonBox*>()) {
            QPushButton* preview = buttons->addButton("Pre&view...", QDialogButtonBox::ActionRole);
            preview->setObjectName("PreviewButton");
            preview->setToolTip("Shows the pages exactly as they will print.");
            connect(preview, &QPushButton::clicked, this,
                    [this] { Guarded([this] { ShowPreview(); }); });
        }
    }
    return *printDialog_;
}

void TTemplates::ShowPreview() {
    QPrintPreviewDialog preview(&Printer(), printDialog_);
    preview.setObjectName("PrintPreview");
    preview.setWindowTitle("Print Preview");
    KeepTextInsidePrintableArea(Printer()); // another printer may have been picked meanwhile
    FitPreviewToScreen(preview, form_.screen());
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* printer) { PrintLines(*printer, printFont_, printLines_); });
    // Printed from the preview: the job is done, and the print dialog closes without a second.
    if (preview.exec() == QDialog::Accepted) printDialog_->reject();
}

bool TTemplates::RunShowForm(RecordKind kind,
                             const std::function<void(const QStringList&)>& loadHolder) {
    const Record record = ReadRecord(form_, kind);
    TemplateFiles files = WindowPaths(form_, kind);
    ShowFormSteps steps;
    steps.loadHolder = loadHolder;
    steps.updateNameList = [this, kind](const Record& r, const TemplateFiles& written) {
        StoreWindowPaths(form_, kind, written);
        if (UpdateNameListStep) UpdateNameListStep(kind, r, written);
    };
    try {
        return ShowFormFlow(record, files, steps);
    } catch (const Exception&) {
        // A failed write still leaves the new paths in the window's fields.
        StoreWindowPaths(form_, kind, files);
        throw;
    }
}

void TTemplates::PrintHolder(RecordKind kind, const QString& holderName) {
    if (FieldText(form_, NameBoxControl(kind)).isEmpty()) {
        Boxes().Information(EmptyNameMessage(kind));
        return;
    }
    QPlainTextEdit& holder = Holder(holderName);
    printFont_ = holder.font();
    printLines_ = HolderLines(holder);
    if (!PrintDialogRunner()(PrintDialog1())) return;
    KeepTextInsidePrintableArea(Printer());
    PrintLines(Printer(), printFont_, printLines_);
}

QPlainTextEdit& TTemplates::Holder(const QString& name) const {
    QPlainTextEdit* holder = form_.Control<QPlainTextEdit>(name);
    if (!holder) throw Exception("The window has no text holder " + name);
    return *holder;
}
