// SPDX-License-Identifier: MIT
#include "ui/TextMatch.h"

#include <algorithm>

namespace logwarden::ui {
namespace {

bool isKatakana(char16_t c) {
    return (c >= u'ァ' && c <= u'ヶ') || c == u'ヽ' || c == u'ヾ';
}

constexpr char16_t katakanaToHiragana = u'ァ' - u'ぁ';

} // namespace

QString foldedText(QStringView text, Folding folding) {
    QString folded = folding.widthless ? text.toString().normalized(QString::NormalizationForm_KC)
                                       : text.toString();
    if (folding.kanaless) {
        for (QChar& c : folded) {
            if (isKatakana(c.unicode())) {
                c = QChar(static_cast<char16_t>(c.unicode() - katakanaToHiragana));
            }
        }
    }
    return folded;
}

TextMatcher::TextMatcher(const QString& pattern, bool regex, Folding folding)
    : mIsRegex(regex), mFolding(folding) {
    const QString folded = foldedText(pattern, folding);
    if (!regex) {
        mWord = folded;
        return;
    }
    QRegularExpression::PatternOptions options = QRegularExpression::UseUnicodePropertiesOption;
    if (folding.caseless) {
        options |= QRegularExpression::CaseInsensitiveOption;
    }
    mRegex = QRegularExpression(folded, options);
    if (!mRegex.isValid()) {
        mError = QStringLiteral("正規表現の %1 文字目: %2")
                     .arg(mRegex.patternErrorOffset() + 1)
                     .arg(mRegex.errorString());
        return;
    }
    mRegex.optimize();
}

bool TextMatcher::matches(QStringView line) const {
    if (!mError.isEmpty()) {
        return false;
    }
    // ASCII folds to itself, which spares most log lines the copy.
    const bool folds =
        (mFolding.widthless || mFolding.kanaless) &&
        std::any_of(line.begin(), line.end(), [](QChar c) { return c.unicode() >= 0x80; });
    return folds ? search(foldedText(line, mFolding)) : search(line);
}

bool TextMatcher::search(QStringView text) const {
    if (mIsRegex) {
        return mRegex.match(text).hasMatch();
    }
    return text.contains(mWord, mFolding.caseless ? Qt::CaseInsensitive : Qt::CaseSensitive);
}

} // namespace logwarden::ui
