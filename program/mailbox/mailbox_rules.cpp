#include "mailbox/mailbox_rules.h"

#include <QCoreApplication>

#include <cmath>

#include "q5client/q5client.h"
#include "shell/shell_logic.h"

namespace q5::mailbox {

namespace {

// A decimal number as the stored values hold them, blanks around allowed.
std::optional<long long> Number(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) return std::nullopt;
    bool ok = false;
    const double value = trimmed.toDouble(&ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return static_cast<long long>(std::llround(value));
}

std::optional<int> TwoDigits(const QString& part, int max) {
    if (part.size() != 2 || !part.at(0).isDigit() || !part.at(1).isDigit()) return std::nullopt;
    const int value = part.toInt();
    if (value > max) return std::nullopt;
    return value;
}

}  // namespace

bool YesNoChecked(const QString& stored, bool trim) {
    return (trim ? shell::TrimBlanks(stored) : stored) == QLatin1String("Y");
}

QString YesNoValue(bool checked) {
    return checked ? QStringLiteral("Y") : QStringLiteral("N");
}

bool OneZeroChecked(const QString& stored) {
    const std::optional<long long> value = Number(stored);
    return value && *value >= 1;
}

QString OneZeroValue(bool checked) {
    return checked ? QStringLiteral("1") : QStringLiteral("0");
}

int OptionIndex(const OptionCodes& codes, const QString& stored) {
    for (int i = 0; i < codes.count; ++i) {
        if (stored == QLatin1String(codes.codes[static_cast<size_t>(i)])) return i;
    }
    return -1;
}

QString OptionCode(const OptionCodes& codes, int index) {
    if (index < 0 || index >= codes.count) return QString();
    return QString::fromLatin1(codes.codes[static_cast<size_t>(index)]);
}

QString Hhmm(int hour, int minute) {
    return QStringLiteral("%1%2").arg(hour, 2, 10, QLatin1Char('0')).arg(minute, 2, 10, QLatin1Char('0'));
}

TimeParts SplitHhmm(const QString& text) {
    return TimeParts{TwoDigits(text.mid(0, 2), 23), TwoDigits(text.mid(2, 2), 59)};
}

SchedulePair ScheduleTimes(const QString& stored_from, const QString& stored_until) {
    const QString from = shell::TrimBlanks(stored_from);
    if (from.size() != 4) return SchedulePair{TimeParts{12, 0}, TimeParts{12, 0}};
    return SchedulePair{SplitHhmm(from), SplitHhmm(shell::TrimBlanks(stored_until))};
}

namespace {
constexpr std::array<const char*, 6> kConversionCodes{"/B", "/G", "/R", "/T", "/F", "9999999"};
}  // namespace

QString ConversionShown(const char* name) {
    return QCoreApplication::translate("ConversionTable", name);
}

QString ConversionCode(const QString& shown) {
    for (size_t i = 0; i < kConversionNames.size(); ++i) {
        if (shown == QLatin1String(kConversionNames[i]) || shown == ConversionShown(kConversionNames[i]))
            return QString::fromLatin1(kConversionCodes[i]);
    }
    return shown;
}

QString ConversionName(const QString& stored) {
    for (size_t i = 0; i < kConversionCodes.size(); ++i) {
        if (stored == QLatin1String(kConversionCodes[i])) return ConversionShown(kConversionNames[i]);
    }
    return stored;
}

QString ConversionField(int key) {
    return QStringLiteral("CON_TBL_%1").arg(key == 0 ? 9 : key - 1);
}

int ProgressPercent(long long bytes, long long total) {
    if (total == 0) return 0;
    if (total < 0) {
        total = -total;
        bytes = -bytes;
    }
    if (bytes <= 0) return 1;
    // bytes * 100 / total, rounded half to even, in whole numbers so that a
    // half is a half.
    const long long scaled = bytes * 100;
    long long percent = scaled / total;
    const long long twice_rest = 2 * (scaled % total);
    if (twice_rest > total || (twice_rest == total && percent % 2 == 1)) ++percent;
    if (percent < 1) return 1;
    if (percent > 100) return 100;
    return static_cast<int>(percent);
}

QString RemoteNameProblem(const QString& name) {
    if (name.isEmpty())
        return QCoreApplication::translate(
            "Mailbox", "The file has no name to store it under on the server. Choose the file again.");
    if (name.size() > kFileNameLimit)
        return QCoreApplication::translate(
                   "Mailbox",
                   "The file name \"%1\" is longer than %2 characters. Rename the file and choose it again.")
            .arg(name)
            .arg(kFileNameLimit);
    for (QChar c : name) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('/') || c == QLatin1Char('\r') ||
            c == QLatin1Char('\n'))
            return QCoreApplication::translate(
                       "Mailbox",
                       "The file name \"%1\" contains a blank, a slash or a line break, which the server "
                       "does not "
                       "accept. Rename the file and choose it again.")
                .arg(name);
    }
    return QString();
}

ErrorOutcome OutcomeOf(HRESULT hr) {
    if (hr == E_FAIL) return ErrorOutcome::skip;
    if (hr == E_CONNECTION_LOST) return ErrorOutcome::reconnect;
    return ErrorOutcome::show_error;
}

}  // namespace q5::mailbox
