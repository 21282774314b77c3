// SPDX-License-Identifier: MIT
#include "gui/RulesDialog.h"

#include <QColorDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace logwarden::gui {
namespace {

using platform::WatchRule;

enum Column { Enabled, Pattern, Regex, MatchCase, MatchWidth, Foreground, Background, Notify };
const std::array<std::pair<Column, bool WatchRule::*>, 5> flagColumns{{
    {Enabled, &WatchRule::enabled},
    {Regex, &WatchRule::regex},
    {MatchCase, &WatchRule::matchCase},
    {MatchWidth, &WatchRule::matchWidth},
    {Notify, &WatchRule::notify},
}};
const std::array<std::pair<Column, QString WatchRule::*>, 2> colorColumns{{
    {Foreground, &WatchRule::foreground},
    {Background, &WatchRule::background},
}};

class RulesDialog : public QDialog {
public:
    RulesDialog(QWidget* parent, const platform::WatchRulesRequest& request)
        : QDialog(parent), mRefusal(request.refusal), mTable(new QTableWidget(0, 8, this)),
          mProblem(new QLabel(this)) {
        setWindowTitle(QStringLiteral("強調と通知"));
        auto* layout = new QVBoxLayout(this);
        if (!request.note.isEmpty()) {
            layout->addWidget(plainLabel(request.note));
        }
        layout->addWidget(plainLabel(QStringLiteral(
            "一致した行を色分けします（上の規則が優先）。「通知」の規則は、監視中に新しい行が"
            "一致するとデスクトップに通知します。色はダブルクリックで選びます。")));
        mTable->setHorizontalHeaderLabels(
            {QStringLiteral("有効"), QStringLiteral("語または正規表現"), QStringLiteral("正規表現"),
             QStringLiteral("大小区別"), QStringLiteral("全半区別"), QStringLiteral("文字色"),
             QStringLiteral("背景色"), QStringLiteral("通知")});
        mTable->verticalHeader()->hide();
        mTable->setSelectionBehavior(QAbstractItemView::SelectRows);
        mTable->setSelectionMode(QAbstractItemView::SingleSelection);
        mTable->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
        mTable->horizontalHeader()->setSectionResizeMode(Pattern, QHeaderView::Stretch);
        for (const WatchRule& rule : request.rules) {
            addRow(rule);
        }
        connect(mTable, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
            showColors(item->row());
            tell();
        });
        connect(mTable, &QTableWidget::cellDoubleClicked, this, &RulesDialog::chooseColor);
        layout->addWidget(mTable);
        layout->addLayout(rowButtons());
        mProblem->setTextFormat(Qt::PlainText);
        mProblem->setWordWrap(true);
        mProblem->setStyleSheet(QStringLiteral("color: #b00020"));
        layout->addWidget(mProblem);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        connect(buttons, &QDialogButtonBox::accepted, this, [this] {
            if (tell()) {
                accept();
            }
        });
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        layout->addWidget(buttons);
        resize(760, 320);
        tell();
    }

    QList<WatchRule> rules() const {
        QList<WatchRule> rules;
        for (int row = 0; row < mTable->rowCount(); ++row) {
            WatchRule rule;
            rule.pattern = mTable->item(row, Pattern)->text();
            for (const auto& [column, field] : flagColumns) {
                rule.*field = mTable->item(row, column)->checkState() == Qt::Checked;
            }
            for (const auto& [column, field] : colorColumns) {
                rule.*field = mTable->item(row, column)->text();
            }
            rules.append(rule);
        }
        return rules;
    }

private:
    QLabel* plainLabel(const QString& text) {
        auto* label = new QLabel(text, this);
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        return label;
    }

    QHBoxLayout* rowButtons() {
        auto* row = new QHBoxLayout;
        const auto button = [&](const QString& caption, const std::function<void()>& action) {
            auto* b = new QPushButton(caption, this);
            b->setAutoDefault(false);
            connect(b, &QPushButton::clicked, this, action);
            row->addWidget(b);
        };
        button(QStringLiteral("追加"), [this] {
            WatchRule rule;
            rule.enabled = true;
            addRow(rule);
            mTable->setCurrentCell(mTable->rowCount() - 1, Pattern);
            mTable->editItem(mTable->item(mTable->rowCount() - 1, Pattern));
        });
        button(QStringLiteral("削除"), [this] {
            mTable->removeRow(mTable->currentRow());
            tell();
        });
        button(QStringLiteral("上へ"), [this] { moveRow(-1); });
        button(QStringLiteral("下へ"), [this] { moveRow(1); });
        button(QStringLiteral("色を消す"), [this] {
            const int column = mTable->currentColumn();
            if (column == Foreground || column == Background) {
                mTable->item(mTable->currentRow(), column)->setText({});
            }
        });
        row->addStretch();
        return row;
    }

    void addRow(const WatchRule& rule) {
        const QSignalBlocker quiet(mTable);
        const int row = mTable->rowCount();
        mTable->insertRow(row);
        mTable->setItem(row, Pattern, new QTableWidgetItem(rule.pattern));
        for (const auto& [column, field] : flagColumns) {
            auto* item = new QTableWidgetItem;
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            item->setCheckState(rule.*field ? Qt::Checked : Qt::Unchecked);
            mTable->setItem(row, column, item);
        }
        for (const auto& [column, field] : colorColumns) {
            auto* item = new QTableWidgetItem(rule.*field);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            mTable->setItem(row, column, item);
        }
        showColors(row);
    }

    // The pattern is shown in the colours of the lines it finds.
    void showColors(int row) {
        const QSignalBlocker quiet(mTable);
        const QColor fore(mTable->item(row, Foreground)->text());
        const QColor back(mTable->item(row, Background)->text());
        QTableWidgetItem* pattern = mTable->item(row, Pattern);
        pattern->setData(Qt::ForegroundRole, fore.isValid() ? QVariant(fore) : QVariant());
        pattern->setData(Qt::BackgroundRole, back.isValid() ? QVariant(back) : QVariant());
        for (const auto& [column, field] : colorColumns) {
            const QColor color(mTable->item(row, column)->text());
            mTable->item(row, column)
                ->setData(Qt::DecorationRole,
                          color.isValid() ? QVariant(swatch(color)) : QVariant());
        }
    }

    // Framed, so that white shows on white.
    static QPixmap swatch(const QColor& color) {
        QPixmap pixmap(14, 14);
        pixmap.fill(color);
        QPainter painter(&pixmap);
        painter.setPen(Qt::gray);
        painter.drawRect(0, 0, pixmap.width() - 1, pixmap.height() - 1);
        return pixmap;
    }

    void chooseColor(int row, int column) {
        if (column != Foreground && column != Background) {
            return;
        }
        QTableWidgetItem* item = mTable->item(row, column);
        const QColor chosen = QColorDialog::getColor(QColor(item->text()), this,
                                                     mTable->horizontalHeaderItem(column)->text());
        if (chosen.isValid()) {
            item->setText(chosen.name());
        }
    }

    void moveRow(int by) {
        const int row = mTable->currentRow();
        const int to = row + by;
        if (row < 0 || to < 0 || to >= mTable->rowCount()) {
            return;
        }
        QList<WatchRule> all = rules();
        all.move(row, to);
        mTable->setRowCount(0);
        for (const WatchRule& rule : all) {
            addRow(rule);
        }
        mTable->setCurrentCell(to, Pattern);
        tell();
    }

    // Says what keeps the rules from being taken; whether they can be.
    bool tell() {
        const QString problem = mRefusal ? mRefusal(rules()) : QString();
        mProblem->setText(problem);
        mProblem->setVisible(!problem.isEmpty());
        return problem.isEmpty();
    }

    std::function<QString(const QList<WatchRule>&)> mRefusal;
    QTableWidget* mTable;
    QLabel* mProblem;
};

} // namespace

std::optional<QList<platform::WatchRule>>
editWatchRules(QWidget* parent, const platform::WatchRulesRequest& request) {
    RulesDialog dialog(parent, request);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.rules();
}

} // namespace logwarden::gui
