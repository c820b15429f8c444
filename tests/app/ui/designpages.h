#pragma once
// The three registration pages as designed, built on bare widgets: what the window shows before
// any subsystem attaches behaviour or loads defaults.
#include "app/ui/pages.h"

#include <QString>
#include <QWidget>
#include <gtest/gtest.h>

struct DesignPages {
    QWidget domain, host, contact;
    DesignPages() {
        BuildDomainPage(&domain);
        BuildHostPage(&host);
        BuildContactPage(&contact);
    }
    // The control of that name and type on any of the three pages; fails the test when missing.
    template <class T> T* Get(const QString& name) {
        for (QWidget* page : {&domain, &host, &contact})
            if (T* w = page->findChild<T*>(name)) return w;
        ADD_FAILURE() << "no control " << name.toStdString();
        return nullptr;
    }
};
