// SPDX-License-Identifier: MIT
#include "gui/LogViewAccessible.h"

#include "gui/LogView.h"

#include <QAccessibleWidget>
#include <QTextBoundaryFinder>
#include <algorithm>

namespace logwarden::gui {

namespace {

// The start and end of the piece of `text` around `offset`: a character, word, sentence, line
// (with its line feed) or all.
std::pair<int, int> pieceAround(const QString& text, int offset,
                                QAccessible::TextBoundaryType type) {
    const int size = int(text.size());
    offset = std::clamp(offset, 0, size);
    const auto found = [&](QTextBoundaryFinder::BoundaryType kind) {
        QTextBoundaryFinder finder(kind, text);
        finder.setPosition(offset);
        const qsizetype start = finder.isAtBoundary() ? offset : finder.toPreviousBoundary();
        finder.setPosition(offset);
        const qsizetype end = finder.toNextBoundary();
        return std::pair{int(std::max<qsizetype>(0, start)), end < 0 ? size : int(end)};
    };
    switch (type) {
    case QAccessible::CharBoundary:
        return {offset, std::min(size, offset + (text[offset].isHighSurrogate() ? 2 : 1))};
    case QAccessible::WordBoundary:
        return found(QTextBoundaryFinder::Word);
    case QAccessible::SentenceBoundary:
        return found(QTextBoundaryFinder::Sentence);
    case QAccessible::LineBoundary:
    case QAccessible::ParagraphBoundary: {
        const qsizetype end = text.indexOf(u'\n', offset);
        // From -1, lastIndexOf() would search from the end.
        const qsizetype start = offset > 0 ? text.lastIndexOf(u'\n', offset - 1) + 1 : 0;
        return {int(start), end < 0 ? size : int(end + 1)};
    }
    case QAccessible::NoBoundary:
        break;
    }
    return {0, size};
}

class LogViewAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit LogViewAccessible(LogView* view)
        : QAccessibleWidget(view, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::TextInterface ? static_cast<QAccessibleTextInterface*>(this)
                                                  : QAccessibleWidget::interface_cast(type);
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        state.multiLine = true;
        state.selectableText = true;
        return state;
    }
    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Value ? view().toPlainText() : QAccessibleWidget::text(kind);
    }

    void selection(int index, int* start, int* end) const override {
        *start = *end = 0;
        if (index == 0 && view().hasSelection()) {
            const int anchor = view().offsetOf(view().anchor());
            const int caret = view().offsetOf(view().caret());
            *start = std::min(anchor, caret);
            *end = std::max(anchor, caret);
        }
    }
    int selectionCount() const override { return view().hasSelection() ? 1 : 0; }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int index) override {
        if (index == 0) {
            view().setSelection(view().caret(), view().caret());
        }
    }
    void setSelection(int /*index*/, int start, int end) override {
        view().setSelection(view().posOf(start), view().posOf(end));
    }
    int cursorPosition() const override { return view().offsetOf(view().caret()); }
    void setCursorPosition(int position) override {
        view().setSelection(view().posOf(position), view().posOf(position));
    }

    QString text(int start, int end) const override {
        return view().toPlainText().mid(start, end - start);
    }
    QString textAtOffset(int offset, QAccessible::TextBoundaryType type, int* start,
                         int* end) const override {
        const QString all = view().toPlainText();
        std::tie(*start, *end) = pieceAround(all, offset, type);
        return all.mid(*start, *end - *start);
    }
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType type, int* start,
                             int* end) const override {
        const QString all = view().toPlainText();
        const int at = pieceAround(all, offset, type).first;
        std::tie(*start, *end) = at > 0 ? pieceAround(all, at - 1, type) : std::pair{0, 0};
        return all.mid(*start, *end - *start);
    }
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType type, int* start,
                            int* end) const override {
        const QString all = view().toPlainText();
        const int at = pieceAround(all, offset, type).second;
        std::tie(*start, *end) = at < all.size() ? pieceAround(all, at, type) : std::pair{at, at};
        return all.mid(*start, *end - *start);
    }
    int characterCount() const override { return int(view().toPlainText().size()); }

    QRect characterRect(int offset) const override {
        const QRect shown = view().characterRect(view().posOf(offset));
        return {view().viewport()->mapToGlobal(shown.topLeft()), shown.size()};
    }
    int offsetAtPoint(const QPoint& point) const override {
        return view().offsetOf(view().posAt(view().viewport()->mapFromGlobal(point)));
    }
    void scrollToSubstring(int start, int /*end*/) override {
        view().ensureVisible(view().posOf(start));
    }
    QString attributes(int /*offset*/, int* start, int* end) const override {
        *start = 0;
        *end = characterCount();
        return {};
    }

private:
    LogView& view() const { return *static_cast<LogView*>(widget()); }
};

// The view has no meta-object of its own: it is asked for as its base class.
QAccessibleInterface* accessibleLogView(const QString& className, QObject* object) {
    auto* view = dynamic_cast<LogView*>(object);
    return view != nullptr && className == QLatin1String("QAbstractScrollArea")
               ? new LogViewAccessible(view)
               : nullptr;
}

} // namespace

void installLogViewAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(accessibleLogView);
        return true;
    }();
    Q_UNUSED(installed)
}

} // namespace logwarden::gui
