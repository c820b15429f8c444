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

QString WithoutTimeZone(const QString& format) {
    // Drops every unquoted run of "t" (the zone) with the blanks that separate it from the rest;
    // quoted text ('...') is copied as it stands.
    QString result;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == '\'') quoted = !quoted;
        if (quoted || c != 't') {
            result += c;
            continue;
        }
        while (i + 1 < format.size() && format[i + 1] == 't')
            ++i;
        if (!result.trimmed().isEmpty())
            while (result.endsWith(' '))
                result.chop(1);
        else
            while (i + 1 < format.size() && format[i + 1] == ' ')
                ++i;
    }
    return result;
}

QString ProcessedLine(const QDateTime& when, const QLocale& locale) {
    QString line = "Processed " + locale.toString(when.date(), QLocale::ShortFormat);
    const QTime t = when.time();
    const bool midnight = t.hour() == 0 && t.minute() == 0 && t.second() == 0;
    if (!midnight)
        line +=
            " " + locale.toString(when, WithoutTimeZone(locale.timeFormat(QLocale::LongFormat)));
    return line;
}

QString ProcessedLine() {
    return ProcessedLine(TemplateNow(), TemplateLocale());
}
