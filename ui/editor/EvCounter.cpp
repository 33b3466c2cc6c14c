#include "ui/editor/EvCounter.h"

#include "model/Quorvel.h"
#include "ui/gui/CHistCBox.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

namespace {

// Counters the counter source can read on any machine (instances of disks and network interfaces
// differ between machines, so the user types those). The SQL Server one stays for projects that
// name it, although it has no source here.
constexpr const char* kPredefinedCounters[] = {
    "\\Processor(_Total)\\% Idle Time",
    "\\Processor(_Total)\\% Processor Time",
    "\\Processor(_Total)\\% User Time",
    "\\Processor(_Total)\\Interrupts/sec",
    "\\Memory\\Available KBytes",
    "\\Memory\\Available MBytes",
    "\\Memory\\% Committed Bytes In Use",
    "\\System\\Processes",
    "\\System\\Threads",
    "\\SQLServer:Locks(_Total)\\Average Wait Time (ms)",
    "\\Processor(_Total)\\% Privileged Time",
    "\\Processor(_Total)\\% Interrupt Time",
    "\\System\\Context Switches/sec",
    "\\System\\System Up Time",
    "\\LogicalDisk(/)\\Free Megabytes",
    "\\LogicalDisk(/)\\% Free Space",
    "\\Load Average\\1 Minute x100",
    "\\Load Average\\5 Minutes x100",
    "\\Load Average\\15 Minutes x100",
};

} // namespace

EvCounter::EvCounter(QWidget* parent, Quorvel& event)
    : EditorPage(parent)
    , event_(event)
    , counter_(new CHistCBox(this))
    , machine_(new QLineEdit(this))
{
    counter_->setAccessibleName(tr("Performance counter"));
    machine_->setAccessibleName(tr("Machine"));
    auto* layout = new QFormLayout(this);
    layout->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    layout->addRow(tr("Performance &counter : "), counter_);
    layout->addRow(tr("&Machine : "), machine_);
    layout->addRow(QString(), new QLabel(tr("Example \\\\SERVER1, keep it empty for local system"), this));

    machine_->setText(QString::fromStdString(event_.Machine));
    for (const char* path : kPredefinedCounters)
        counter_->AddHistory(QString::fromUtf8(path));
    counter_->SetActiveOrAdd(QString::fromStdString(event_.PerfCounter));
}

void EvCounter::Store()
{
    event_.Machine = machine_->text().toStdString();
    event_.PerfCounter = counter_->GetCurString().toStdString();
}
