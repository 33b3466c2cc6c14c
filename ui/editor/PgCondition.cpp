#include "ui/editor/PgCondition.h"

#include "model/Quorvel.h"
#include "ui/editor/BoxValue.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpressionValidator>

namespace {

constexpr int kFirstComparing = COND_ROW_COUNT;

} // namespace

PgCondition::PgCondition(QWidget* parent, Quorvel& event)
    : EditorPage(parent)
    , event_(event)
    , choice_(new QButtonGroup(this))
{
    const QString texts[] = {
        tr("&Unconditional. Action will be executed in any case"),
        tr("Check &failed or timeout expired"),
        tr("Check executed &successfully"),
        tr("&Number of rows in result set is "),
        tr("&Result (first value of the first row) "),
        tr("&Time of check execution is"),
    };
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(tr("Action will be executed if"), this), 0, 0, 1, 4);
    for (int cond = COND_ALWAYS; cond <= COND_CHECK_TIME; ++cond) {
        auto* button = new QRadioButton(texts[cond], this);
        choice_->addButton(button, cond);
        grid->addWidget(button, cond + 1, 0);
    }
    // Values may carry a sign: a stored negative value stays editable.
    const QRegularExpression number(QStringLiteral("-?[0-9]*"));
    for (int row = kRowCount; row <= kCheckTime; ++row) {
        auto* list = new QComboBox(this);
        // Item index = CompareOp.
        list->addItems({ QStringLiteral("<"), QStringLiteral("<="), QStringLiteral("="), QStringLiteral(">="),
            QStringLiteral(">"), QStringLiteral("!=") });
        list->setCurrentIndex(-1);
        list->setAccessibleName(
            tr("Operator: %1").arg(choice_->button(kFirstComparing + row)->text().remove(u'&').trimmed()));
        auto* box = new QLineEdit(this);
        box->setValidator(new QRegularExpressionValidator(number, box));
        box->setMaximumWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("-00000000000000")));
        box->setAccessibleName(
            tr("Value: %1").arg(choice_->button(kFirstComparing + row)->text().remove(u'&').trimmed()));
        operators_[static_cast<std::size_t>(row)] = list;
        values_[static_cast<std::size_t>(row)] = box;
        grid->addWidget(list, kFirstComparing + row + 1, 1);
        grid->addWidget(box, kFirstComparing + row + 1, 2);
    }
    grid->addWidget(new QLabel(tr("ms"), this), COND_CHECK_TIME + 1, 3);
    grid->setColumnStretch(4, 1);
    grid->setRowStretch(COND_CHECK_TIME + 2, 1);

    // Only the row of the stored condition shows the stored operator and value.
    if (event_.cond >= kFirstComparing && event_.cond <= COND_CHECK_TIME) {
        const auto row = static_cast<std::size_t>(event_.cond - kFirstComparing);
        const int op = event_.cond == COND_ROW_COUNT ? event_.rowCheck : event_.resCheck;
        const int value = event_.cond == COND_ROW_COUNT ? event_.rowCheckValue : event_.resCheckValue;
        operators_[row]->setCurrentIndex(op >= OP_LESS && op <= OP_NOT_EQUAL ? op : -1);
        values_[row]->setText(QString::number(value));
    }
    if (QAbstractButton* button = choice_->button(event_.cond))
        button->setChecked(true);
    connect(choice_, &QButtonGroup::idToggled, this, &PgCondition::ApplyEnableRule);
    ApplyEnableRule();
}

void PgCondition::Store()
{
    const int cond = choice_->checkedId();
    if (cond < 0)
        return;
    event_.cond = cond;
    if (cond == COND_ROW_COUNT)
        StoreRow(kRowCount, &event_.rowCheck, &event_.rowCheckValue);
    else if (cond == COND_RESULT_VALUE)
        StoreRow(kFirstValue, &event_.resCheck, &event_.resCheckValue);
    else if (cond == COND_CHECK_TIME)
        StoreRow(kCheckTime, &event_.resCheck, &event_.resCheckValue);
}

void PgCondition::StoreRow(Row row, int* op, int* value) const
{
    *op = operators_[row]->currentIndex();
    *value = SignedBoxValue(values_[row]->text());
}

void PgCondition::ApplyEnableRule()
{
    for (int row = kRowCount; row <= kCheckTime; ++row) {
        const bool on = choice_->checkedId() == kFirstComparing + row;
        operators_[static_cast<std::size_t>(row)]->setEnabled(on);
        values_[static_cast<std::size_t>(row)]->setEnabled(on);
    }
}
