// SPDX-License-Identifier: MIT
#include "Rows.h"
#include "view/Layout.h"

namespace {

using namespace logwarden;
using namespace logwarden::view;

// The panels shown, by letter (p file path, t time stamp, s file size, k keyword); the client
// size; the tops of the path, time-stamp, size and keyword panels (a hidden one keeps its design
// top), the size panel's left, the text view's top, the widths of the path and keyword panels
// and of their value labels and the text view's height.
using Stack = std::tuple<const char*, QString, ui::Size, QString>;

} // namespace

class LayoutTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void stackCollapsesOverHiddenPanels_data() {
        const ui::Size design{5925, 3750}, narrow{1500, 2000}, tiny{5, 600};
        rows<Stack>({
            {"all", "ptsk", design, "-80 325 325 3595 730 1225 5915 5915 4315 4215 2525"},
            {"no keyword", "pts", design, "-80 325 325 3595 0 810 5915 3345 4315 1645 2940"},
            {"size without the time stamp", "ps", design,
             "-80 390 325 0 0 810 5915 3345 4315 1645 2940"},
            {"time stamp without the size", "t", design,
             "4920 -80 390 4200 0 405 7545 3345 5945 1645 3345"},
            {"keyword only", "k", design, "4920 390 390 4200 -80 415 7545 5915 5945 4215 3335"},
            {"none", "", design, "4920 390 390 4200 0 0 7545 3345 5945 1645 3750"},
            {"labels would be negative", "ptsk", narrow,
             "-80 325 325 3595 730 1225 1490 1490 0 0 775"},
            {"text would be negative", "ptsk", tiny, "-80 325 325 3595 730 1225 0 0 0 0 0"},
        });
    }

    void stackCollapsesOverHiddenPanels() {
        const auto [tag, shown, client, places] = row<Stack>();
        const PanelGeometry design{{600, 4920, 7545, 435},
                                   {60, 390, 3555, 435},
                                   {4200, 390, 3345, 435},
                                   {0, 0, 3345, 435},
                                   {240, 1320, 6855, 3135},
                                   5790,
                                   1665};
        const auto on = [&](char16_t letter) {
            return shown.contains(letter);
        };
        const PanelGeometry g = layoutPanels({on(u'p'), on(u't'), on(u's'), on(u'k'), true}, client,
                                             design, 1500, 1600);
        QStringList numbers;
        for (const double n : {g.filePath.top, g.timeStamp.top, g.fileSize.top, g.fileSize.left,
                               g.searchWord.top, g.text.top, g.filePath.width, g.searchWord.width,
                               g.filePathLabelWidth, g.searchWordLabelWidth, g.text.height}) {
            numbers << QString::number(n);
        }
        QCOMPARE(numbers.join(u' '), places);
        QCOMPARE((QList{g.text.left, g.text.width}), (QList{0.0, client.width}));
    }
};

QTEST_GUILESS_MAIN(LayoutTest)
#include "tst_layout.moc"
