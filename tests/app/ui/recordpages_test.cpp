// The registration pages the window hands to the subsystems: each holds its own kind's controls,
// all of them on its own tab, and the window's path fields of that kind.
#include "app/ui/form1.h"
#include "app/ui/statusline.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QTabWidget>
#include <gtest/gtest.h>

TEST(RecordPages, EachPageHoldsItsOwnControlsOnItsOwnTabAndTheWindowsPaths) {
    TForm1 form;
    auto* tabs = form.findChild<QTabWidget*>("PageControl1");
    ASSERT_NE(tabs, nullptr);
    const struct {
        RecordKind kind;
        QString *formFile, *recordFile;
    } expected[] = {{RecordKind::Domain, &form.DomainFormFile, &form.DomainRecordFile},
                    {RecordKind::Host, &form.HostFormFile, &form.HostRecordFile},
                    {RecordKind::Contact, &form.ContactFormFile, &form.ContactRecordFile}};
    int index = 0;
    for (const TRecordPage& page : form.RecordPages()) {
        SCOPED_TRACE(page.Info().word.toStdString());
        ASSERT_LT(index, 3);
        EXPECT_EQ(page.kind, expected[index].kind);
        EXPECT_EQ(&form.RecordPages().Of(page.kind), &page);
        EXPECT_EQ(page.formFile, expected[index].formFile);
        EXPECT_EQ(page.recordFile, expected[index].recordFile);
        EXPECT_EQ(page.showsFormViewer, page.kind == RecordKind::Domain);
        const QWidget* sheet = tabs->widget(index++);
        const QWidget* controls[] = {
            page.nameBox,        page.actionRadios[0], page.actionRadios[1], page.actionRadios[2],
            page.showFormButton, page.mailButton,      page.clearAllButton,  page.saveDefaultButton,
            page.printButton,    page.holder,          page.mailProgress,    page.status};
        for (const QWidget* control : controls) {
            ASSERT_NE(control, nullptr);
            EXPECT_TRUE(sheet->isAncestorOf(control)) << control->objectName().toStdString();
        }
        EXPECT_EQ(page.nameBox->objectName(), page.Info().nameBox);
        EXPECT_EQ(StatusLine(form, page.kind), page.status);
    }
    EXPECT_EQ(index, 3);
}
