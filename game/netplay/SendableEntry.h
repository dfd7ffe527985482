// Text entries whose contents go on the wire (names, chat lines) show only
// what the other side will receive: a character the wire cannot carry turns
// into "?" as it is typed or pasted, instead of silently on the other side.
#pragma once

#include "logic/Protocol.h"

#include <QLineEdit>

namespace Turrion::NetPlay {

inline void KeepSendable(QLineEdit* entry)
{
    QObject::connect(entry, &QLineEdit::textChanged, entry, [entry](const QString& text) {
        const QString clean = Sendable(text);
        if (clean == text)
            return;
        const int cursor = entry->cursorPosition() - int(text.size() - clean.size());
        entry->setText(clean);
        entry->setCursorPosition(qMax(0, cursor));
    });
}

} // namespace Turrion::NetPlay
