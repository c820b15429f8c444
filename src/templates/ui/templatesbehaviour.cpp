#include "templates/ui/templatesbehaviour.h"

#include "app/ui/form1.h"
#include "app/ui/recordpage.h"
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

TTemplates::TTemplates(TForm1& form, const TRecordPages& pages)
    : QObject(&form), form_(form), pages_(pages) {
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

void TTemplates::ShowFormClick(RecordKind kind) {
    const TRecordPage& page = pages_.Of(kind);
    auto loadHolder = [this, &page](const QStringList& lines) {
        if (page.showsFormViewer) FormView().SetLines(lines);
        Holder(page).setPlainText(lines.join('\n'));
    };
    if (!page.showsFormViewer) {
        RunShowForm(page, loadHolder);
        return;
    }
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
    closing.keep |= RunShowForm(page, loadHolder);
}

void TTemplates::PrintClick(RecordKind kind) {
    const TRecordPage& page = pages_.Of(kind);
    if (FieldText(form_, page.Info().nameBox).isEmpty()) {
        Boxes().Information(page.Info().emptyNameMessage);
        return;
    }
    QPlainTextEdit& holder = Holder(page);
    printFont_ = holder.font();
    printLines_ = HolderLines(holder);
    if (!PrintDialogRunner()(PrintDialog1())) return;
    KeepTextInsidePrintableArea(Printer());
    PrintLines(Printer(), printFont_, printLines_);
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

bool TTemplates::RunShowForm(const TRecordPage& page,
                             const std::function<void(const QStringList&)>& loadHolder) {
    const Record record = ReadRecord(form_, page.kind);
    TemplateFiles files = WindowPaths(page);
    ShowFormSteps steps;
    steps.loadHolder = loadHolder;
    steps.updateNameList = [this, &page](const Record& r, const TemplateFiles& written) {
        StoreWindowPaths(page, written);
        if (UpdateNameListStep) UpdateNameListStep(page.kind, r, written);
    };
    try {
        return ShowFormFlow(record, files, steps);
    } catch (const Exception&) {
        // A failed write still leaves the new paths in the window's fields.
        StoreWindowPaths(page, files);
        throw;
    }
}

QPlainTextEdit& TTemplates::Holder(const TRecordPage& page) const {
    if (!page.holder) throw Exception("The window has no text holder for the " + page.Info().word);
    return *page.holder;
}
