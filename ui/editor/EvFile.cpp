#include "ui/editor/EvFile.h"

#include "model/Quorvel.h"
#include "ui/gui/UserDialogs.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

EvFile::EvFile(QWidget* parent, Quorvel& event)
    : EditorPage(parent)
    , event_(event)
    , path_(new QLineEdit(this))
{
    auto* browse = new QPushButton(tr("..."), this);
    browse->setToolTip(tr("Choose the file"));
    browse->setAccessibleName(browse->toolTip());
    browse->setMaximumWidth(browse->fontMetrics().horizontalAdvance(QStringLiteral("......")) + 16);
    auto* label = new QLabel(tr("File or Folder"), this);
    label->setBuddy(path_);

    auto* layout = new QGridLayout(this);
    layout->addWidget(label, 0, 0, 1, 2);
    layout->addWidget(path_, 1, 0);
    layout->addWidget(browse, 1, 1);
    layout->addWidget(
        new QLabel(tr("This check complete successfully if this file or directory exists"), this), 2, 0, 1, 2);
    layout->setRowStretch(3, 1);
    connect(browse, &QPushButton::clicked, this, &EvFile::Browse);
    // Filled now as well: a Save that never showed this page must store the path it had.
    path_->setText(QString::fromStdString(event_.FileOrDir));
}

void EvFile::Activate()
{
    EditorPage::Activate();
    path_->setText(QString::fromStdString(event_.FileOrDir));
}

void EvFile::Store()
{
    event_.FileOrDir = path_->text().toStdString();
}

void EvFile::Browse()
{
    const QString path = Dialogs().OpenFile(this, QString(), tr("All Files (*)"), QString());
    if (!path.isEmpty())
        path_->setText(path);
}
