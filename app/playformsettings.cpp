// The saved preferences applied to the main window, at the first show and after Preferences.
#include <QDir>

#include "application.h"
#include "configform.h"
#include "integertext.h"
#include "player.h"
#include "playform.h"
#include "songlist.h"
#include "spinedit.h"
#include "ui_playform.h"

#include <QCheckBox>
#include <QLineEdit>

void TPlayForm::ApplySettings()
{
    // A hidden Preferences form reads every stored preference into its controls.
    const TConfigFrm config(this, m_store);
    if (m_Player && !m_Player->Initialized()) {
        const int bufferSize = StrToInt(config.Edit2()->text());
        if (bufferSize >= 8192 && bufferSize <= 65536)
            m_Player->SetBufferSize(bufferSize);
        const int bufferCount = StrToInt(config.Edit3()->text());
        if (bufferCount >= 10 && bufferCount <= 30)
            m_Player->SetBuffersCount(bufferCount);
    }
    m_SkinFileName = config.Edit4()->text();
    if (std::all_of(m_SkinFileName.begin(), m_SkinFileName.end(),
                    [](QChar c) { return c.unicode() <= 32; }))
        m_SkinFileName = QDir(m_programFolder).filePath(QStringLiteral("blue/blue.sk"));
    LoadSkin(m_SkinFileName);
    m_DisplayRecordingInfo = config.CheckBox2()->isChecked();
    m_songs->setSortOnLoad(config.CheckBox1()->isChecked());
    m_RememberLastLoaded = config.CheckBox3()->isChecked();
    m_songs->setNumbered(config.CheckBox4()->isChecked());
    m_NotifyEachSong = config.CheckBox5()->isChecked();
    m_PlayListFontSize = StrToInt(config.Edit1()->text());
    QFont font = ui->SongList->font();
    font.setPointSize(m_PlayListFontSize);
    ui->SongList->setFont(font);
}

bool TPlayForm::SortOnLoad() const
{
    return m_songs->sortOnLoad();
}

bool TPlayForm::NumbersInPlaylist() const
{
    return m_songs->numbered();
}

void TPlayForm::showPreferences()
{
    TConfigFrm dialog(this, m_store);
    dialog.exec();
}

void TPlayForm::Preferences1Click()
{
    CommandScope::run([this] {
        showPreferences();
        ApplySettings();
        // After a failed first show, this may be the first time the settings take effect.
        takeLastPlaylist();
    });
}
