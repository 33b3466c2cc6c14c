#include "ui/gui/AboutBox.h"

#include "external/support/CLog.h"
#include "external/support/CSettings.h"

#include <QDialogButtonBox>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

AboutBox::AboutBox(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("About Olvex Quorvel"));
    auto* layout = new QVBoxLayout(this);
    auto* icon = new QLabel(this);
    icon->setPixmap(QIcon(QStringLiteral(":/icons/quorvel.svg")).pixmap(48, 48));
    icon->setAccessibleName(tr("Program icon"));
    layout->addWidget(icon, 0, Qt::AlignHCenter);
    const QString store = g_settings != nullptr ? QString::fromStdString(g_settings->Path()) : QString();
    auto* text = new QLabel(tr("<b>Olvex Quorvel</b><br>Version %1<br><br>Runs scheduled checks of databases, "
                               "files and the machine.<br><br>Preferences: %2")
                                .arg(QString::fromStdString(CLog::VersionStr(0)), store.toHtmlEscaped()),
        this);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}
