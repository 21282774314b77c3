// SPDX-License-Identifier: MIT
#pragma once

#include <QPlainTextEdit>
#include <QStringView>
#include <functional>
#include <optional>

namespace logwarden::gui {

// The read-only text view, shown as a log view: it follows the end while the reader is there,
// keeps the lines read in place when lines come and go, and lays out only the lines that
// changed. The window's Copy command owns Ctrl+C, so the view does not claim the key for
// copying its selection.
class TextView : public QPlainTextEdit {
public:
    explicit TextView(QWidget* parent);

    // Shows a text box's text: lines ending in CR LF.
    void showText(const QString& text);

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void dropFirstLines(qsizetype count);
    void edit(const std::function<void(QTextCursor&)>& change);
    void scrollTo(std::optional<qsizetype> topLine, int column);

    QString mText;
    QList<QStringView> mLines; // into mText, one for each block of the document
    int mMaximum = 0;          // of the vertical scroll bar, as last seen
    bool mReplacing = false;
};

} // namespace logwarden::gui
