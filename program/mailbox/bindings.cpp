#include "mailbox/bindings.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTimeEdit>

#include <QVariant>

#include <algorithm>
#include <limits>

#include "mailbox/table_calls.h"
#include "shell/shell_logic.h"

namespace q5::mailbox {

namespace {

// A value longer than its box can take is shown cut to that length; the
// box keeps the whole value (in these two properties), and Save writes the
// whole value back as long as the box still shows the cut text. Placing a
// megabyte into a box froze the window and stretched it past the screen.
constexpr char kWholeValue[] = "q5WholeValue";
constexpr char kShownValue[] = "q5ShownValue";

qsizetype ShownLimit(QObject* control) {
    if (auto* line = qobject_cast<QLineEdit*>(control)) return line->maxLength();
    if (auto* combo = qobject_cast<QComboBox*>(control)) {
        if (combo->isEditable() && combo->lineEdit()) return combo->lineEdit()->maxLength();
        return kListEntryLimit;
    }
    return std::numeric_limits<qsizetype>::max();
}

QString TextOf(QObject* control) {
    QString text;
    if (auto* line = qobject_cast<QLineEdit*>(control)) {
        text = line->text();
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        text = combo->currentText();
    }
    const QVariant shown = control->property(kShownValue);
    if (shown.isValid() && text == shown.toString()) return control->property(kWholeValue).toString();
    return text;
}

void SetTextOf(QObject* control, const QString& whole) {
    const qsizetype limit = ShownLimit(control);
    QString text = whole;
    if (whole.size() > limit) {
        text = whole.left(limit);
        control->setProperty(kWholeValue, whole);
        control->setProperty(kShownValue, text);
    } else {
        control->setProperty(kWholeValue, QVariant());
        control->setProperty(kShownValue, QVariant());
    }
    if (auto* line = qobject_cast<QLineEdit*>(control)) {
        line->setText(text);
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        // A text in the list selects that entry; any other is typed in, or,
        // where the user cannot type, joins the list so that it is shown
        // and saved back as it was.
        int index = combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (index < 0 && !combo->isEditable()) {
            combo->addItem(text);
            index = combo->count() - 1;
        }
        if (index >= 0) combo->setCurrentIndex(index);
        if (combo->isEditable()) combo->setEditText(text);
    }
}

}  // namespace

QString PickerHhmm(const QTimeEdit* picker) {
    const QTime time = picker->time();
    return Hhmm(time.hour(), time.minute());
}

void PlaceTime(QTimeEdit* picker, const TimeParts& parts) {
    const QTime now = picker->time();
    picker->setTime(QTime(parts.hour.value_or(now.hour()), parts.minute.value_or(now.minute())));
}

void LoadBindings(TableCalls& calls, const std::vector<Binding>& bindings) {
    QString pending_from;
    for (const Binding& binding : bindings) {
        if (binding.load_name.isEmpty()) continue;
        if (calls.ended()) return;
        const std::optional<QString> read = calls.GetField(binding.load_name);
        if (!read) {
            if (binding.codec == Codec::option && binding.unreadable_option >= 0 && !calls.ended()) {
                if (auto* button =
                        static_cast<QButtonGroup*>(binding.control)->button(binding.unreadable_option))
                    button->setChecked(true);
            }
            if (binding.codec == Codec::sched_from) pending_from.clear();
            continue;
        }
        const QString value = binding.trim_load ? shell::TrimBlanks(*read) : *read;
        switch (binding.codec) {
            case Codec::text:
                SetTextOf(binding.control, value);
                break;
            case Codec::conversion:
                SetTextOf(binding.control, ConversionName(value));
                break;
            case Codec::yes_no:
                static_cast<QCheckBox*>(binding.control)->setChecked(YesNoChecked(value, false));
                break;
            case Codec::one_zero:
                static_cast<QCheckBox*>(binding.control)->setChecked(OneZeroChecked(value));
                break;
            case Codec::option: {
                const int index = OptionIndex(*binding.codes, value);
                if (index < 0) break;
                if (auto* button = static_cast<QButtonGroup*>(binding.control)->button(index))
                    button->setChecked(true);
                break;
            }
            case Codec::hhmm: {
                QString stored = value;
                if (binding.raw) {
                    binding.raw->setText(value);
                    stored = binding.raw->text();
                }
                PlaceTime(static_cast<QTimeEdit*>(binding.control), SplitHhmm(stored));
                break;
            }
            case Codec::sched_from:
                pending_from = value;
                break;
            case Codec::sched_until: {
                const SchedulePair pair = ScheduleTimes(pending_from, value);
                // The "From" picker is the row before this one in every table.
                const auto self = std::find_if(bindings.begin(), bindings.end(),
                                               [&](const Binding& b) { return &b == &binding; });
                if (self != bindings.begin() && std::prev(self)->codec == Codec::sched_from)
                    PlaceTime(static_cast<QTimeEdit*>(std::prev(self)->control), pair.from);
                PlaceTime(static_cast<QTimeEdit*>(binding.control), pair.until);
                break;
            }
        }
    }
}

void SaveBindings(TableCalls& calls, const std::vector<Binding>& bindings) {
    std::vector<std::pair<int, const Binding*>> order;
    for (size_t i = 0; i < bindings.size(); ++i) {
        const Binding& binding = bindings[i];
        order.emplace_back(binding.save_seq >= 0 ? binding.save_seq : static_cast<int>(i), &binding);
    }
    std::stable_sort(order.begin(), order.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [seq, binding] : order) {
        if (binding->save_name.isEmpty()) continue;
        if (calls.ended()) return;
        QString value;
        switch (binding->codec) {
            case Codec::text:
                value = TextOf(binding->control);
                break;
            case Codec::conversion:
                value = ConversionCode(TextOf(binding->control));
                break;
            case Codec::yes_no:
                value = YesNoValue(static_cast<QCheckBox*>(binding->control)->isChecked());
                break;
            case Codec::one_zero:
                value = OneZeroValue(static_cast<QCheckBox*>(binding->control)->isChecked());
                break;
            case Codec::option: {
                const int index = static_cast<QButtonGroup*>(binding->control)->checkedId();
                if (index < 0) continue;  // nothing selected writes nothing
                value = OptionCode(*binding->codes, index);
                break;
            }
            case Codec::hhmm:
            case Codec::sched_from:
            case Codec::sched_until:
                value = PickerHhmm(static_cast<QTimeEdit*>(binding->control));
                break;
        }
        if (binding->trim_save) value = shell::TrimBlanks(value);
        calls.SetField(binding->save_name, value);
    }
}

}  // namespace q5::mailbox
