#include "calls/call_logic.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <cmath>

#include "shell/bstr_text.h"

namespace q5::calls {

QString StatusText(const char* status) {
    return QCoreApplication::translate("CallStatus", status);
}

std::optional<QString> StatusForEvent(int event) {
    switch (event) {
        case kOnHold:
            return QCoreApplication::translate("CallStatus", "On Hold");
        case kTransfer:
            return QCoreApplication::translate("CallStatus", "Transfer");
        case kInTransit:
            return QCoreApplication::translate("CallStatus", "In Transit");
        case kLeavingMessage:
            return QCoreApplication::translate("CallStatus", "Leaving Message");
        case kCallEnded:
            return StatusText(kStatusDisconnect);
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

namespace {

QString LogField(QString text) {
    text.remove(QLatin1Char('\r'));
    text.remove(QLatin1Char('\n'));
    text.remove(QLatin1Char('"'));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

}  // namespace

QByteArray CallLogLine(const QDateTime& handled, const QString& number, const QString& start,
                       const QString& elapsed) {
    // notr: the call log's format.
    const QString line = QLatin1Char('#') + handled.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) +
                         QStringLiteral("#,") + LogField(number) + QLatin1Char(',') + LogField(start) +
                         QLatin1Char(',') + LogField(elapsed) + QStringLiteral("\r\n");
    return line.toUtf8();
}

int RestartBackOff::NextDelaySeconds() {
    const int delay = next_;
    next_ = std::min(next_ * 2, 60);
    return delay;
}

DrainResult DrainQ5Events(ICoEvents& events, const std::function<bool(const Q5Event&)>& handle, int cap) {
    DrainResult result;
    while (result.taken < cap) {
        LONG id = 0;
        BStr key, number, name;
        const HRESULT hr = events.GetQ5Event(&id, key.ReleaseAndGetAddressOf(),
                                             number.ReleaseAndGetAddressOf(), name.ReleaseAndGetAddressOf());
        if (FAILED(hr)) {
            result.failure = hr;
            break;
        }
        if (id == 0) break;
        ++result.taken;
        if (!handle(Q5Event{id, FromBStr(key), FromBStr(number), FromBStr(name)})) break;
    }
    return result;
}

QStringList NamePlayerArguments(const QString& program, const QString& file) {
    QStringList arguments;
    if (QFileInfo(program).fileName() == QLatin1String("aplay")) arguments << QStringLiteral("-q");
    arguments << file;
    return arguments;
}

bool IsNameRecordingFile(const QString& fileName) {
    static const QString kSuffix = QStringLiteral(".wav");
    return fileName.endsWith(kSuffix) && IsSafeCallKey(fileName.chopped(kSuffix.size()));
}

int RemoveNameRecordings(const QString& folder) {
    int removed = 0;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files)) {
        if (IsNameRecordingFile(name) && QFile::remove(dir.filePath(name))) ++removed;
    }
    return removed;
}

}  // namespace q5::calls
