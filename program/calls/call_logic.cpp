#include "calls/call_logic.h"

#include <QLocale>

#include <cmath>

namespace q5::calls {

std::optional<QString> StatusForEvent(int event) {
    switch (event) {
        case kOnHold:
            return QStringLiteral("On Hold");
        case kTransfer:
            return QStringLiteral("Transfer");
        case kInTransit:
            return QStringLiteral("In Transit");
        case kLeavingMessage:
            return QStringLiteral("Leaving Message");
        case kCallEnded:
            return QString::fromLatin1(kStatusDisconnect);
        default:
            return std::nullopt;
    }
}

bool IsSafeCallKey(const QString& trimmedKey) {
    if (trimmedKey.isEmpty() || trimmedKey.size() > 32) return false;
    for (const QChar c : trimmedKey) {
        const bool ok = (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
                        (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
                        (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
        if (!ok) return false;
    }
    return true;
}

QString NameRecordingFile(const QString& key) {
    int value = 0;
    for (const QChar c : key.left(3)) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) break;
        value = value * 10 + (c.unicode() - u'0');
    }
    return QStringLiteral("VS") + QString::number(value);
}

std::optional<QString> NextElapsed(const QString& elapsed) {
    const QStringList parts = elapsed.trimmed().split(QLatin1Char(':'));
    if (parts.size() != 3) return std::nullopt;
    int values[3];
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        values[i] = parts[i].toInt(&ok);
        if (!ok || values[i] < 0) return std::nullopt;
    }
    if (values[0] > 23 || values[1] > 59 || values[2] > 59) return std::nullopt;
    const double seconds = values[0] * 3600.0 + values[1] * 60.0 + values[2] + 0.0000115 * 86400.0;
    const long total = std::lround(seconds) % 86400;
    return QStringLiteral("%1:%2:%3")
        .arg(total / 3600, 2, 10, QLatin1Char('0'))
        .arg(total / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(total % 60, 2, 10, QLatin1Char('0'));
}

QString TimeOfDayText(const QTime& time) {
    QString format = QLocale::system().timeFormat(QLocale::LongFormat);
    format.remove(QLatin1Char('t'));
    return QLocale::system().toString(time, format.trimmed());
}

QByteArray CallLogLine(const QDateTime& handled, const QString& number, const QString& start,
                       const QString& elapsed) {
    const QString line = QLatin1Char('#') + handled.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) +
                         QStringLiteral("#,\"") + number + QStringLiteral("\",\"") + start +
                         QStringLiteral("\",\"") + elapsed + QStringLiteral("\"\r\n");
    return line.toUtf8();
}

int RestartBackOff::NextDelaySeconds() {
    const int delay = next_;
    next_ = std::min(next_ * 2, 60);
    return delay;
}

}  // namespace q5::calls
