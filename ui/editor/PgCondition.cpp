#include "ui/editor/PgCondition.h"

#include "model/Quorvel.h"
#include "res/Strings.h"
#include "ui/editor/BoxValue.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
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
    grid->addWidget(MakeChangeGroup(), COND_CHECK_TIME + 2, 0, 1, 5);
    grid->setColumnStretch(4, 1);
    grid->setRowStretch(COND_CHECK_TIME + 3, 1);

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
    connect(actWhen_, &QComboBox::currentIndexChanged, this, &PgCondition::ApplyEnableRule);
    ApplyEnableRule();
}

QGroupBox* PgCondition::MakeChangeGroup()
{
    auto* group = new QGroupBox(tr("When the condition holds"), this);
    actWhen_ = new QComboBox(group);
    // Item index = ActWhen; a value outside the list shows no item and is kept.
    actWhen_->addItems({ QString::fromStdString(Quorvel::ActWhenName(ACT_EVERY_TIME)),
        QString::fromStdString(Quorvel::ActWhenName(ACT_ON_START)) });
    const int actWhen = event_.iActWhen;
    actWhen_->setCurrentIndex(actWhen == ACT_EVERY_TIME || actWhen == ACT_ON_START ? actWhen : -1);
    actWhen_->setToolTip(QString::fromUtf8(LoadString(IDS_TIP_ACT_WHEN)));
    actWhen_->setAccessibleName(tr("When to act"));
    repeatEvery_ = new QLineEdit(UnsignedBoxText(event_.iRepeatEvery), group);
    repeatEvery_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), repeatEvery_));
    repeatEvery_->setMaximumWidth(repeatEvery_->fontMetrics().horizontalAdvance(QStringLiteral("00000000000000")));
    repeatEvery_->setToolTip(QString::fromUtf8(LoadString(IDS_TIP_REPEAT_EVERY)));
    repeatEvery_->setAccessibleName(tr("Repeat the action every this many executions while the condition holds"));
    actOnRecovery_ = new QCheckBox(tr("Act once more when the condition stops &holding"), group);
    actOnRecovery_->setChecked(event_.bActOnRecovery != 0);
    actOnRecovery_->setToolTip(QString::fromUtf8(LoadString(IDS_TIP_ACT_ON_RECOVERY)));

    auto* actLabel = new QLabel(tr("&Act:"), group);
    actLabel->setBuddy(actWhen_);
    auto* repeatLabel = new QLabel(tr("Re&peat the action every"), group);
    repeatLabel->setBuddy(repeatEvery_);
    auto* layout = new QGridLayout(group);
    layout->addWidget(actLabel, 0, 0);
    layout->addWidget(actWhen_, 0, 1, 1, 2);
    layout->addWidget(repeatLabel, 1, 0);
    layout->addWidget(repeatEvery_, 1, 1);
    layout->addWidget(new QLabel(tr("executions while it holds (0: never)"), group), 1, 2);
    layout->addWidget(actOnRecovery_, 2, 0, 1, 3);
    layout->setColumnStretch(3, 1);
    return group;
}

void PgCondition::Store()
{
    if (actWhen_->currentIndex() >= 0)
        event_.iActWhen = actWhen_->currentIndex();
    event_.iRepeatEvery = UnsignedBoxValue(repeatEvery_->text());
    event_.bActOnRecovery = actOnRecovery_->isChecked() ? 1 : 0;
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
    // Repeating and recovery belong to acting on changes.
    const bool onChange = actWhen_->currentIndex() == ACT_ON_START;
    repeatEvery_->setEnabled(onChange);
    actOnRecovery_->setEnabled(onChange);
}
