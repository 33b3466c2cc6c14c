#include "ui/editor/PgTimer.h"

#include "model/StartAt.h"
#include "model/Quorvel.h"
#include "ui/editor/BoxValue.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QVBoxLayout>
#include <ctime>

namespace {

QLineEdit* DigitsBox(QWidget* parent, const QString& name)
{
    auto* box = new QLineEdit(parent);
    box->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), box));
    box->setMaximumWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("0000000000000")));
    box->setAccessibleName(name);
    return box;
}

QComboBox* UnitList(QWidget* parent, const QString& name)
{
    auto* list = new QComboBox(parent);
    // Item index = TimeUnit.
    list->addItems({ PgTimer::tr("Seconds"), PgTimer::tr("Minutes"), PgTimer::tr("Hours") });
    list->setAccessibleName(name);
    return list;
}

QRadioButton* Choice(QButtonGroup* group, QWidget* parent, const QString& text, int id)
{
    auto* button = new QRadioButton(text, parent);
    group->addButton(button, id);
    return button;
}

void Select(QButtonGroup* group, int id)
{
    if (QAbstractButton* button = group->button(id))
        button->setChecked(true);
}

void SelectUnit(QComboBox* list, int unit)
{
    list->setCurrentIndex(unit >= 0 && unit < list->count() ? unit : -1);
}

} // namespace

PgTimer::PgTimer(QWidget* parent, Quorvel& event)
    : EditorPage(parent)
    , event_(event)
    , delay_(new QButtonGroup(this))
    , iterations_(new QButtonGroup(this))
    , interval_(new QButtonGroup(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MakeDelayGroup());
    layout->addWidget(MakeIterationGroup());
    layout->addWidget(MakeIntervalGroup());
    layout->addWidget(MakeTimeoutGroup());
    layout->addStretch(1);

    startAt_->setText(QString::fromStdString(event_.tmStartAt));
    SelectUnit(delayUnit_, event_.delayTimeType);
    delayAmount_->setText(UnsignedBoxText(event_.iDelay));
    SelectUnit(intervalUnit_, event_.intTimeType);
    intervalAmount_->setText(UnsignedBoxText(event_.iInterval));
    executions_->setText(UnsignedBoxText(event_.iExecs));
    timeout_->setValue(event_.iTimeout);
    Select(delay_, event_.delayType);
    Select(iterations_, event_.iterType);
    Select(interval_, event_.intType);
    connect(startAt_, &QLineEdit::textChanged, this, &PgTimer::CheckStartAt);
    connect(delay_, &QButtonGroup::idToggled, this, &PgTimer::CheckStartAt);
    CheckStartAt();
}

QWidget* PgTimer::MakeDelayGroup()
{
    auto* group = new QGroupBox(tr(" Delay before first execution "), this);
    delayAmount_ = DigitsBox(group, tr("Delay amount"));
    delayUnit_ = UnitList(group, tr("Delay unit"));
    startAt_ = new QLineEdit(group);
    startAt_->setAccessibleName(tr("Start time"));
    startAt_->setMaximumWidth(delayAmount_->maximumWidth());
    startAtHint_ = new QLabel(tr("Unrecognized time format"), group);
    startAtHint_->setStyleSheet(QStringLiteral("color: #b00020"));
    auto* grid = new QGridLayout(group);
    grid->addWidget(Choice(delay_, group, tr("&No delay"), DELAY_NONE), 0, 0);
    grid->addWidget(Choice(delay_, group, tr("&Delay is"), DELAY_FOR), 1, 0);
    grid->addWidget(delayAmount_, 1, 1);
    grid->addWidget(delayUnit_, 1, 2);
    grid->addWidget(Choice(delay_, group, tr("Start execution at"), DELAY_START_AT), 2, 0);
    grid->addWidget(startAt_, 2, 1);
    grid->addWidget(new QLabel(tr("(HH:MM:SS)"), group), 2, 2);
    grid->addWidget(startAtHint_, 2, 3);
    grid->setColumnStretch(4, 1);
    return group;
}

QWidget* PgTimer::MakeIterationGroup()
{
    auto* group = new QGroupBox(tr(" Number of iterations "), this);
    executions_ = DigitsBox(group, tr("Number of executions"));
    auto* grid = new QGridLayout(group);
    grid->addWidget(
        Choice(iterations_, group, tr("&Infinite, manual cancellation is required"), ITER_ENDLESS), 0, 0, 1, 2);
    grid->addWidget(Choice(iterations_, group, tr("Run &once"), ITER_ONCE), 1, 0);
    grid->addWidget(Choice(iterations_, group, tr("&Exact number of executions"), ITER_COUNT), 2, 0);
    grid->addWidget(executions_, 2, 1);
    grid->setColumnStretch(2, 1);
    return group;
}

QWidget* PgTimer::MakeIntervalGroup()
{
    auto* group = new QGroupBox(tr(" Interval between iterations "), this);
    intervalAmount_ = DigitsBox(group, tr("Interval amount"));
    intervalUnit_ = UnitList(group, tr("Interval unit"));
    auto* grid = new QGridLayout(group);
    grid->addWidget(Choice(interval_, group, tr("No interval"), INTERVAL_NONE), 0, 0);
    grid->addWidget(Choice(interval_, group, tr("Interval is"), INTERVAL_WAIT), 1, 0);
    grid->addWidget(intervalAmount_, 1, 1);
    grid->addWidget(intervalUnit_, 1, 2);
    grid->setColumnStretch(3, 1);
    return group;
}

QWidget* PgTimer::MakeTimeoutGroup()
{
    auto* group = new QGroupBox(tr(" Check timeout "), this);
    timeout_ = new QSpinBox(group);
    timeout_->setRange(0, 86400); // a day: longer than that is no timeout but a mistake
    timeout_->setSuffix(tr(" s"));
    // 0 leaves the choice to the project (its CheckTimeout), which may have none either.
    timeout_->setSpecialValueText(tr("Project's default"));
    timeout_->setAccessibleName(tr("Check timeout in seconds"));
    auto* label = new QLabel(tr("S&top a check that runs longer than"), group);
    label->setBuddy(timeout_);
    auto* grid = new QGridLayout(group);
    grid->addWidget(label, 0, 0);
    grid->addWidget(timeout_, 0, 1);
    grid->setColumnStretch(2, 1);
    return group;
}

void PgTimer::Store()
{
    event_.tmStartAt = startAt_->text().toStdString();
    event_.iDelay = UnsignedBoxValue(delayAmount_->text());
    event_.delayTimeType = delayUnit_->currentIndex();
    event_.intTimeType = intervalUnit_->currentIndex();
    event_.iInterval = UnsignedBoxValue(intervalAmount_->text());
    event_.iExecs = UnsignedBoxValue(executions_->text());
    event_.iTimeout = timeout_->value();
    if (delay_->checkedId() >= 0)
        event_.delayType = delay_->checkedId();
    if (iterations_->checkedId() >= 0)
        event_.iterType = iterations_->checkedId();
    event_.intType = interval_->checkedId() == INTERVAL_NONE ? INTERVAL_NONE : INTERVAL_WAIT;
}

// The run refuses such a start time when the event starts; saying so here costs nothing, and the
// time is stored as typed all the same.
void PgTimer::CheckStartAt()
{
    std::tm now {};
    int delayMs = 0;
    const bool refused = StartAtDelay(startAt_->text().toStdString(), now, &delayMs) != 0;
    startAtHint_->setVisible(refused && delay_->checkedId() == DELAY_START_AT);
}
