#include "app/ui/attach.h"
#include "app/ui/form1.h"
#include "decor/pvlurl.h"
#include "platform/guard.h"

#include <QAction>

namespace {
// The product's and the maker's home pages.
const char* const RegiscribeHomePage = "https://regiscribe.example/";
const char* const QuillmarkHomePage = "https://quillmark.example/";

void OpenHomePage(TForm1& form, const QString& url) {
    Guarded([&] {
        form.gourl->SetUrl(url);
        form.gourl->Execute();
    });
}
} // namespace

void AttachDecor(TForm1& form) {
    form.gourl = new TpvlUrl(&form);
    if (auto* item = form.findChild<QAction*>("RegiscribeHomePage1"))
        QObject::connect(item, &QAction::triggered, &form,
                         [&form] { OpenHomePage(form, RegiscribeHomePage); });
    if (auto* item = form.findChild<QAction*>("QuillmarkHomePage1"))
        QObject::connect(item, &QAction::triggered, &form,
                         [&form] { OpenHomePage(form, QuillmarkHomePage); });
}
