#include "shell/form_layout.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOption>
#include <QTreeView>

#include <algorithm>

#include <vector>

namespace q5::shell {

namespace {

const char* const kMinimumDigits = "minimumDigits";

// Room for a column's title: its text and the header's margins.
int TitleWidth(const QHeaderView* header, int column) {
    const QString title = header->model()->headerData(column, Qt::Horizontal).toString();
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    return header->fontMetrics().horizontalAdvance(title) + 2 * margin + 2;
}

}  // namespace

void ReserveTextRoom(QWidget* form) {
    for (QLineEdit* edit : form->findChildren<QLineEdit*>()) {
        const int digits = edit->property(kMinimumDigits).toInt();
        if (digits <= 0) continue;
        QStyleOptionFrame option;
        option.initFrom(edit);
        option.lineWidth =
            edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit) : 0;
        const QMargins text = edit->textMargins();
        // The frame, the box's own two pixels either side and the digits.
        const QSize contents(edit->fontMetrics().horizontalAdvance(QString(digits, QLatin1Char('0'))) + 4 +
                                 text.left() + text.right(),
                             edit->fontMetrics().height());
        const int width =
            edit->style()->sizeFromContents(QStyle::CT_LineEdit, &option, contents, edit).width();
        edit->setMinimumWidth(std::max(edit->minimumWidth(), width));
    }
    for (QTreeView* list : form->findChildren<QTreeView*>()) {
        const QHeaderView* header = list->header();
        if (!header || !header->model()) continue;
        int titles = 0;
        for (int column = 0; column < header->count(); ++column) {
            if (!header->isSectionHidden(column)) titles += TitleWidth(header, column);
        }
        list->setMinimumWidth(std::max(list->minimumWidth(), titles + 2 * list->frameWidth()));
    }
}

void FitListColumns(QWidget* form) {
    for (QTreeView* list : form->findChildren<QTreeView*>()) {
        QHeaderView* header = list->header();
        if (!header || !header->model()) continue;
        const int room = list->maximumViewportSize().width();
        std::vector<int> columns;
        int total = 0;
        int titles = 0;
        for (int column = 0; column < header->count(); ++column) {
            if (header->isSectionHidden(column)) continue;
            columns.push_back(column);
            total += header->sectionSize(column);
            titles += TitleWidth(header, column);
        }
        if (total <= room || total <= 0) continue;
        // Each column gets its title, and the rest of the room in proportion
        // to the width it was given.
        const int spare = std::max(0, room - titles);
        for (int column : columns) {
            const int share =
                static_cast<int>(static_cast<long long>(spare) * header->sectionSize(column) / total);
            header->resizeSection(column, TitleWidth(header, column) + share);
        }
    }
}

}  // namespace q5::shell
