#include "ui/editor/PgEvent.h"

#include "model/Quorvel.h"
#include "ui/editor/EvCounter.h"
#include "ui/editor/EvFile.h"
#include "ui/editor/EvSQL.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

PgEvent::PgEvent(QWidget* parent, Quorvel& event)
    : EditorPage(parent)
    , event_(event)
    , type_(new QComboBox(this))
    , note_(new QLineEdit(this))
{
    // Item index = EventType.
    type_->addItems({ tr("Execute SQL statement"), tr("File or Folder Access"), tr("Performance Counter") });
    type_->setAccessibleName(tr("Event Type"));
    note_->setAccessibleName(tr("Note"));
    auto* typeLabel = new QLabel(tr("Event &Type"), this);
    typeLabel->setBuddy(type_);
    auto* noteLabel = new QLabel(tr("N&ote"), this);
    noteLabel->setBuddy(note_);

    auto* area = new QFrame(this);
    area->setFrameShape(QFrame::StyledPanel);
    auto* areaLayout = new QGridLayout(area);
    subPages_ = { new EvSQL(area, event_), new EvFile(area, event_), new EvCounter(area, event_) };
    for (EditorPage* page : subPages_)
        areaLayout->addWidget(page, 0, 0);

    auto* top = new QHBoxLayout;
    top->addWidget(typeLabel);
    top->addWidget(type_);
    top->addWidget(noteLabel);
    top->addWidget(note_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(area, 1);

    note_->setText(QString::fromStdString(event_.EventNote));
    // A kind this editor does not know shows the SQL settings, with no kind selected.
    const bool known = event_.type >= EVENT_SQL && event_.type <= EVENT_COUNTER;
    type_->setCurrentIndex(known ? event_.type : -1);
    current_ = known ? event_.type : 0;
    subPages_[static_cast<std::size_t>(current_)]->Activate();
    connect(type_, &QComboBox::currentIndexChanged, this, &PgEvent::TypeChanged);
}

void PgEvent::Store()
{
    for (EditorPage* page : subPages_)
        page->Store();
    event_.EventNote = note_->text().toStdString();
    if (type_->currentIndex() >= 0)
        event_.type = type_->currentIndex();
}

void PgEvent::TypeChanged(int index)
{
    if (index < 0 || index == current_)
        return;
    subPages_[static_cast<std::size_t>(current_)]->Deactivate();
    current_ = index;
    subPages_[static_cast<std::size_t>(current_)]->Activate();
}
