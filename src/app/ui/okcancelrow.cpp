#include "app/ui/okcancelrow.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

OkCancelButtons AddOkCancelRow(QDialog& dialog, QBoxLayout& column) {
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    auto* ok = new QPushButton("OK", &dialog);
    ok->setObjectName("OKButton");
    ok->setDefault(true);
    auto* cancel = new QPushButton("Cancel", &dialog);
    cancel->setObjectName("CancelButton");
    cancel->setAutoDefault(false);
    row->addWidget(ok);
    row->addWidget(cancel);
    column.addLayout(row);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    return {ok, cancel};
}
