#include "shell/log_categories.h"

#include <QByteArray>

#include <cstring>

namespace q5::shell {

Q_LOGGING_CATEGORY(lcSession, "q5client.session", QtWarningMsg)
Q_LOGGING_CATEGORY(lcCalls, "q5client.calls", QtWarningMsg)
Q_LOGGING_CATEGORY(lcGreetings, "q5client.greetings", QtWarningMsg)
Q_LOGGING_CATEGORY(lcMailbox, "q5client.mailbox", QtWarningMsg)

void SetUpLogging(bool verbose) {
    // QT_MESSAGE_PATTERN, when set, overrides this pattern.
    qSetMessagePattern(
        QStringLiteral("%{if-category}%{category}: %{endif}%{if-warning}warning: "
                       "%{endif}%{if-critical}error: %{endif}%{message}"));
    if (verbose) {
        QLoggingCategory::setFilterRules(QStringLiteral("q5client.*.debug=true\nq5client.*.info=true"));
    }
}

QString CodeText(HRESULT hr) {
    return QStringLiteral("0x%1 (%2)")
        .arg(static_cast<quint32>(hr), 8, 16, QLatin1Char('0'))
        .arg(static_cast<qint32>(hr));
}

LogArea AreaOfWindow(const char* class_name) {
    // The windows of each folder of program/; a new window joins its list.
    static constexpr const char* kCalls[] = {"q5::frmCallControl", "q5::frmContact", "q5::frmPIMSetup",
                                             "q5::frmProperties"};
    static constexpr const char* kGreetings[] = {"q5::frmGreeting"};
    static constexpr const char* kMailbox[] = {"q5::frmMbx", "q5::frmAdvanced", "q5::frmCallOut",
                                               "q5::frmConversionTable"};
    if (!class_name) return &lcSession;
    const auto in = [class_name](const auto& names) {
        for (const char* name : names) {
            if (std::strcmp(name, class_name) == 0) return true;
        }
        return false;
    };
    if (in(kCalls)) return &lcCalls;
    if (in(kGreetings)) return &lcGreetings;
    if (in(kMailbox)) return &lcMailbox;
    return &lcSession;
}

}  // namespace q5::shell
