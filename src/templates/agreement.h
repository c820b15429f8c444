#pragma once
// The registration agreement that heads the domain template: 140 lines, sections A to Q, kept as a
// text resource and written verbatim.
#include <QStringList>

// The agreement's lines, without line ends. Tabs are kept.
const QStringList& AgreementLines();
