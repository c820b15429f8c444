#pragma once
// The clock and locale behind the "Processed" line of the templates. Both can be replaced, so that
// tests know the exact line.
#include <QDateTime>
#include <QLocale>
#include <functional>

// The time the writers stamp on a template: the current local time unless replaced.
QDateTime TemplateNow();
// Replaces the clock; an empty function restores the real one.
void SetTemplateClock(std::function<QDateTime()> clock);

// The locale whose short date and long time formats are used: the user's unless replaced.
QLocale TemplateLocale();
void SetTemplateLocale(const QLocale& locale);
void ResetTemplateLocale();

// A time format without its time-zone fields: the locale's long time format names the zone
// ("2:05:09 PM UTC"), which the templates' time does not carry.
QString WithoutTimeZone(const QString& format);
// "Processed " + short date and, unless the time is exactly midnight, a blank and the long time
// (without the zone).
QString ProcessedLine(const QDateTime& when, const QLocale& locale);
// The same for the template clock and locale.
QString ProcessedLine();
