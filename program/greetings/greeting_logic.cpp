#include "greetings/greeting_logic.h"

#include <QCoreApplication>

#include <cmath>

#include "shell/local_paths.h"

namespace q5::greetings {

namespace {

// File names on the server and the language list's data (never shown).
const QString kName = QStringLiteral("Name");
const QString kGreet = QStringLiteral("greet");
const QString kWav = QStringLiteral(".wav");
const QString kVox = QStringLiteral(".vox");
const QString kEnglish = QStringLiteral("English");

}  // namespace

QString LanguageShown(const QString& language) {
    return QCoreApplication::translate("Languages", language.toLatin1().constData());
}

QStringList LanguageCaptions() {
    QStringList captions;
    for (const Language& language : kLanguages) captions << QString::fromLatin1(language.caption);
    return captions;
}

QString LanguageSuffix(const QString& language) {
    for (const Language& entry : kLanguages) {
        if (language == QLatin1String(entry.caption)) return QString::fromLatin1(entry.suffix);
    }
    return QString();
}

QString TypeCode(int index) {
    if (index < 0 || index >= kGreetingTypeCount) return QString();
    return QString::fromLatin1(kGreetingTypes[index].code);
}

QString LocalBaseName(const Selection& selection) {
    if (selection.name) return kName;
    return kGreet + TypeCode(selection.type) + LanguageSuffix(selection.language);
}

QString LocalSoundFile(const Selection& selection) {
    return shell::LocalPath(shell::LocalFolder::vox, LocalBaseName(selection) + kWav);
}

std::vector<FileStep> GetGreetingSteps(const Selection& selection) {
    using Op = FileStep::Op;
    const QString local = LocalSoundFile(selection);
    // The name is one file whatever the language.
    if (selection.name) {
        return {{Op::convert_v2w, kName + kVox, {}},
                {Op::get_file, kName + kWav, local},
                {Op::del_file, kName + kWav, {}}};
    }
    const QString code = TypeCode(selection.type);
    const QString converted = kGreet + code + kWav;
    const QString source = selection.language == kEnglish
                               ? kGreet + code + kVox
                               : kGreet + code + LanguageSuffix(selection.language);
    return {{Op::convert_v2w, source, {}}, {Op::get_file, converted, local}, {Op::del_file, converted, {}}};
}

std::vector<FileStep> TransmitGreetingSteps(const Selection& selection) {
    using Op = FileStep::Op;
    const QString local = LocalSoundFile(selection);
    if (selection.name) {
        return {{Op::put_file, kName + kWav, local},
                {Op::convert_w2v, kName + kWav, {}},
                {Op::del_file, kName + kWav, {}}};
    }
    const QString code = TypeCode(selection.type);
    if (selection.language == kEnglish) {
        const QString remote = kGreet + code + kWav;
        return {{Op::put_file, remote, local}, {Op::convert_w2v, remote, {}}, {Op::del_file, remote, {}}};
    }
    const QString server = kGreet + code + LanguageSuffix(selection.language);
    return {{Op::put_file, server, local},
            {Op::convert_w2v, server + kWav, {}},
            {Op::ren_file, server + kVox, server},
            {Op::del_file, server + kWav, {}}};
}

std::optional<int> ActiveGreetingIndex(const QString& greet_rec) {
    if (greet_rec == QLatin1String("Y")) return 0;
    if (greet_rec == QLatin1String("T")) return 1;
    if (greet_rec == QLatin1String("N")) return 2;
    return std::nullopt;
}

QString GreetRecValue(int index) {
    switch (index) {
        case 0:
            return QStringLiteral("Y");
        case 1:
            return QStringLiteral("T");
        case 2:
            return QStringLiteral("N");
        default:
            return QString();
    }
}

int ProgressPercent(long long bytes, long long total) {
    if (total <= 0) return 0;
    const long long percent = std::llround(static_cast<double>(bytes) / static_cast<double>(total) * 100.0);
    if (percent < 1) return 1;
    if (percent > 100) return 100;
    return static_cast<int>(percent);
}

std::optional<QString> StateText(media::Mode mode) {
    switch (mode) {
        case media::Mode::not_open:
            return QCoreApplication::translate("Greetings", "Not Ready");
        case media::Mode::stopped:
            return QCoreApplication::translate("Greetings", "Stopped");
        case media::Mode::playing:
            return QCoreApplication::translate("Greetings", "Playing");
        case media::Mode::recording:
            return QCoreApplication::translate("Greetings", "Recording");
        case media::Mode::paused:
            return QCoreApplication::translate("Greetings", "Paused");
        case media::Mode::ready:
            return QCoreApplication::translate("Greetings", "Ready");
    }
    return std::nullopt;
}

QString GetGreetingHelp() {
    return QCoreApplication::translate(
        "Greetings",
        "To listen to your greeting, select a greeting type from the options on the left, or 'Name' to "
        "listen to "
        "your name. Select the language in which your greeting was recorded, and press the 'Get Greeting' "
        "Button. "
        "Then press the 'Play' Button.");
}

QString TransmitGreetingHelp() {
    return QCoreApplication::translate(
        "Greetings",
        "To record your greeting, select a greeting type from the options on the left, or 'Name' to record "
        "to your "
        "name. Select the language in which you want to record your greeting. Press the 'Record' Button and "
        "record "
        "your greeting. Once you have finished press the 'Stop' button and then 'Transmit Greeting' "
        "Button. ");
}

}  // namespace q5::greetings
