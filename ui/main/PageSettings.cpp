#include "ui/main/PageSettings.h"

#include "external/support/CSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>

namespace {

void StoreCheck(const QCheckBox* box)
{
    g_settings->setInt(box->property("key").toString().toStdString(), box->isChecked() ? 1 : 0);
}

QString Plain(QString text)
{
    return text.remove(QLatin1Char('&')).trimmed();
}

} // namespace

PageSettings::PageSettings(QWidget* parent)
    : CSmPage(parent)
{
    auto* layout = new QVBoxLayout(this);
    loadLast_ = AddCheck(tr("&Load recent project when program start up"), "LoadLastFile");
    minimizeOnTray_ = AddCheck(tr("&Minimize on tray"), "MinimizeOnTray");
    fetchAll_ = AddCheck(tr("&Fetch all data in SQL event (the first value only otherwise)"), "FetchAll");
    smartInput_ = AddCheck(tr("Smart name input in SQL console"), "SmartInput");
    for (QCheckBox* box : { loadLast_, minimizeOnTray_, fetchAll_, smartInput_ })
        layout->addWidget(box);
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight);
    dateFormat_ = AddFormatCombo({ QString(), QStringLiteral("DDMMYYYY"), QStringLiteral("MMDDYYYY"),
                                     QStringLiteral("DDMMYY"), QStringLiteral("MMDDYY"), QStringLiteral("YYYYMMDD") },
        "MacroDateFmt");
    timeFormat_ = AddFormatCombo(
        { QString(), QStringLiteral("HHMM"), QStringLiteral("HHMMSS"), QStringLiteral("HH") }, "MacroTimeFmt");
    logLevel_ = new QComboBox(this);
    logLevel_->addItems({ tr("Core (default)"), tr("Full log") });
    logLevel_->setCurrentIndex(SettingInt("LogLevel") == 1 ? 1 : 0);
    textEncoding_ = new QComboBox(this);
    textEncoding_->addItems({ tr("UTF-16LE, CRLF (default)"), tr("UTF-8, LF") });
    textEncoding_->setCurrentIndex(SettingInt("TextEncoding") == 1 ? 1 : 0);
    consoleLines_ = new QComboBox(this);
    consoleLines_->addItems({ tr("Every status (default)"), tr("Changes only"), tr("None") });
    consoleLines_->setCurrentIndex(std::clamp(SettingInt("ConsoleLines"), 0, 2));
    const auto row = [&](const QString& label, QComboBox* combo, const QString& hint) {
        auto* line = new QHBoxLayout;
        line->addWidget(combo);
        line->addWidget(new QLabel(hint, this));
        line->addStretch();
        combo->setAccessibleName(Plain(label).remove(QLatin1Char(':')).trimmed());
        auto* title = new QLabel(label, this);
        title->setBuddy(combo);
        form->addRow(title, line);
    };
    row(tr("&Date format for $DATE$ macro : "), dateFormat_, tr("keep it empty for default value"));
    row(tr("&Time format for $TIME$ macro : "), timeFormat_, tr("keep it empty for default value"));
    row(tr("Log le&vel :"), logLevel_, {});
    row(tr("&Report and log files : "), textEncoding_, tr("a project's TextEncoding key wins"));
    row(tr("&Console lines (quorvel -c) : "), consoleLines_, tr("a project's ConsoleLines key wins"));
    layout->addLayout(form);
    layout->addStretch();
}

QCheckBox* PageSettings::AddCheck(const QString& text, const char* key)
{
    auto* box = new QCheckBox(text, this);
    box->setProperty("key", QString::fromLatin1(key));
    box->setChecked(SettingInt(key) != 0);
    box->setAccessibleName(Plain(text));
    return box;
}

QComboBox* PageSettings::AddFormatCombo(const QStringList& entries, const char* key)
{
    auto* combo = new QComboBox(this);
    combo->addItems(entries);
    combo->setProperty("key", QString::fromLatin1(key));
    combo->setMinimumContentsLength(10);
    const QString stored = QString::fromStdString(SettingStr(key));
    if (combo->findText(stored) < 0)
        combo->addItem(stored);
    combo->setCurrentIndex(combo->findText(stored));
    return combo;
}

void PageSettings::Deactivate()
{
    StoreValues();
    CSmPage::Deactivate();
}

void PageSettings::StoreValues()
{
    if (g_settings == nullptr)
        return;
    for (const QCheckBox* box : { loadLast_, minimizeOnTray_, fetchAll_, smartInput_ })
        StoreCheck(box);
    g_settings->setInt("LogLevel", logLevel_->currentIndex());
    g_settings->setInt("TextEncoding", textEncoding_->currentIndex());
    g_settings->setInt("ConsoleLines", consoleLines_->currentIndex());
    for (const QComboBox* combo : { dateFormat_, timeFormat_ })
        g_settings->setStr(combo->property("key").toString().toStdString(), combo->currentText().toStdString());
    g_settings->SaveData();
}
