// SPDX-License-Identifier: MIT
#pragma once

#include <QRegularExpression>
#include <QString>
#include <QStringView>

namespace logwarden::ui {

// The differences a search leaves out.
struct Folding {
    bool caseless = false;  // ERROR finds error
    bool widthless = false; // full- and half-width forms find each other, ｴﾗｰ finds エラー
    bool kanaless = false;  // katakana and hiragana find each other
    friend bool operator==(const Folding&, const Folding&) = default;
};

// The text as a search compares it: compatibility forms folded (NFKC) when widthless, katakana
// made hiragana when kanaless. Case is left to the search.
QString foldedText(QStringView text, Folding folding);

// A word or a regular expression that lines are searched for. Without folding a word is found
// exactly as typed, code unit by code unit.
class TextMatcher {
public:
    TextMatcher() = default; // an empty word: found in every line
    TextMatcher(const QString& pattern, bool regex, Folding folding = {});

    // Why the pattern cannot be searched for (a regular expression that does not compile), or
    // empty; such a matcher finds nothing.
    const QString& error() const { return mError; }
    bool matches(QStringView line) const;

private:
    bool search(QStringView text) const;

    QString mWord;
    QRegularExpression mRegex;
    bool mIsRegex = false;
    Folding mFolding;
    QString mError;
};

} // namespace logwarden::ui
