#include "templates/templatetime.h"

#include <optional>

namespace {
std::function<QDateTime()>& Clock() {
    static std::function<QDateTime()> clock;
    return clock;
}
std::optional<QLocale>& LocaleOverride() {
    static std::optional<QLocale> locale;
    return locale;
}
} // namespace

QDateTime TemplateNow() {
    return Clock() ? Clock()() : QDateTime::currentDateTime();
}

void SetTemplateClock(std::function<QDateTime()> clock) {
    Clock() = std::move(clock);
}

QLocale TemplateLocale() {
    return LocaleOverride() ? *LocaleOverride() : QLocale::system();
}

void SetTemplateLocale(const QLocale& locale) {
    LocaleOverride() = locale;
}

void ResetTemplateLocale() {
    LocaleOverride().reset();
}

QString ProcessedLine(const QDateTime& when, const QLocale& locale) {
    QString line = "Processed " + locale.toString(when.date(), QLocale::ShortFormat);
    const QTime t = when.time();
    const bool midnight = t.hour() == 0 && t.minute() == 0 && t.second() == 0;
    if (!midnight) line += " " + locale.toString(when, locale.timeFormat(QLocale::LongFormat));
    return line;
}

QString ProcessedLine() {
    return ProcessedLine(TemplateNow(), TemplateLocale());
}
