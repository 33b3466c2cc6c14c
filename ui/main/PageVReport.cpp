#include "ui/main/PageVReport.h"

#include "external/support/MessageBox.h"
#include "model/QuorvelRunner.h"
#include "res/Strings.h"
#include "ui/gui/PrivateTempDir.h"
#include "ui/gui/ReportBrowser.h"
#include "ui/gui/UserDialogs.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

PageVReport::PageVReport(QuorvelRunner& project, int mode, QWidget* parent)
    : CSmPage(parent)
    , project_(project)
    , mode_(mode)
    , label_(new QLabel(this))
    , browser_(new ReportBrowser(this))
{
    label_->setText(mode_ == 1 ? tr("Project Report") : tr("Execution Summary Report"));
    label_->setBuddy(browser_);
    browser_->setAccessibleName(label_->text());
    browser_->setOpenExternalLinks(true); // links out of the report open in the desktop's browser

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label_);
    layout->addWidget(browser_, 1);
}

QString PageVReport::Label() const
{
    return label_->text();
}

QString PageVReport::ProjectReportPath()
{
    const QString folder = PrivateTempDir();
    return folder.isEmpty() ? QString() : folder + QStringLiteral("/report1.html");
}

void PageVReport::Activate()
{
    CSmPage::Activate();
    const QString path = ReportPath();
    if (!path.isEmpty())
        Show(path);
}

void PageVReport::RunEnded()
{
    if (mode_ != 0 || isHidden())
        return;
    const QString path = ReportPath(false);
    if (!path.isEmpty())
        Show(path);
}

QString PageVReport::ReportPath(bool tell)
{
    QString path;
    if (mode_ == 1) {
        path = ProjectReportPath();
        if (!path.isEmpty()) {
            QFile::remove(path); // a report that cannot be written must not show the last one
            project_.WriteProjectReport(path.toStdString());
        }
    } else {
        std::string summaryFile, current;
        {
            std::lock_guard guard(project_.lock);
            summaryFile = project_.summaryFile;
            current = project_.currentSummaryFile;
        }
        if (summaryFile.empty()) {
            if (tell)
                AskUser(this, QString::fromUtf8(LoadString(IDS_SUMMARY_NOT_SET)),
                    QString::fromUtf8(LoadString(IDS_WARNING)), MB_ICONERROR);
            return {};
        }
        path = QString::fromStdString(current);
    }
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        if (tell)
            AskUser(this, QString::fromUtf8(LoadString(IDS_SUMMARY_NOT_CREATED)),
                QString::fromUtf8(LoadString(IDS_WARNING)), MB_ICONERROR);
        return {};
    }
    return path;
}

void PageVReport::Show(const QString& path)
{
    const QUrl url = QUrl::fromLocalFile(path);
    // The same address again would only scroll; the file has changed, so it is read anew.
    if (browser_->source() == url)
        browser_->reload();
    else
        browser_->setSource(url);
}
