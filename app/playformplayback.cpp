// Playing from the song list: the transport commands and their tray twins, the one-second poll,
// seeking, volume, priority and the play modes, routed to the playback object; and how the
// window shows what playback does.
#include <QSignalBlocker>
#include <QTimer>

#include "application.h"
#include "playback.h"
#include "player.h"
#include "playform.h"
#include "streamquality.h"
#include "ui_playform.h"

namespace {

// Thread priorities by priority bar position: idle, lowest, below normal, normal, above
// normal, highest, time-critical.
int priorityAt(int position)
{
    static const int table[] = {-15, -2, -1, 0, 1, 2, 15};
    return table[std::clamp(position, 0, 6)];
}

} // namespace

void TPlayForm::bindPlayback()
{
    Playback *playback = m_playback;
    TLMDImageListBox *list = ui->SongList;
    connect(list, &TLMDImageListBox::ItemIndexChanged, playback, &Playback::setCurrentRow);
    connect(playback, &Playback::currentRowChanged, list, &TLMDImageListBox::setItemIndex);
    connect(playback->pollTimer(), &QTimer::timeout, this, &TPlayForm::TimerTimer);
    connect(playback->endWatchTimer(), &QTimer::timeout, this,
            [this] { CommandScope::run([this] { m_playback->watchEnd(); }); });
    connect(playback, &Playback::songStarted, this, &TPlayForm::showStartedSong);
    connect(playback, &Playback::stateChanged, this, &TPlayForm::showPlaybackState);
    connect(playback, &Playback::elapsedChanged, this,
            [this](const ElapsedTime &elapsed) { ShowTime(elapsed.text()); });
    connect(playback, &Playback::positionChanged, this, [this](int seconds) {
        // The keys moving the bar win until their seek is made.
        if (!m_seekKeysSettle->isActive())
            ui->Slider->setPosition(seconds);
    });
    connect(playback, &Playback::lengthChanged, ui->Slider, &TLMDTrackBar::setMaxValue);
    connect(playback, &Playback::volumeChanged, this, [this](int level) {
        // The bar only follows here; its change handler would set the same level again.
        const QSignalBlocker quiet(ui->Slider2);
        ui->Slider2->setPosition(level);
    });
    connect(playback, &Playback::playModeChanged, this, &TPlayForm::showPlayMode);
    const std::pair<QAction *, Playback::PlayMode> modes[] = {
        {ui->Forward1, Playback::PlayMode::Forward},
        {ui->Random1, Playback::PlayMode::Random},
        {ui->SameSong1, Playback::PlayMode::SameSong}};
    // The stored settings check a menu item; that is the mode.
    for (const auto &entry : modes) {
        const Playback::PlayMode mode = entry.second;
        connect(entry.first, &QAction::toggled, playback, [playback, mode](bool checked) {
            if (checked)
                playback->setPlayMode(mode);
        });
    }
}

void TPlayForm::SongListDblClick()
{
    CommandScope::run([this] { m_playback->playCurrent(); });
}

void TPlayForm::showStartedSong()
{
    ui->LMDSpeedButton2->setEnabled(true);
    ui->Stop1->setEnabled(true);
    ui->LMDSpeedButton3->setEnabled(true);
    ui->Pause1->setEnabled(true);
    ui->InfoLabel->setCaption(QStringLiteral("Playing..."));
    ui->Slider->setEnabled(true);
    ui->Play1->setEnabled(false);
    ui->LMDSpeedButton1->setEnabled(false);
    ui->LMDSpeedButton2->setDown(false);
    if (const std::optional<StreamInfo> &info = m_playback->streamInfo())
        ui->LMDLabel3->setCaption(qualityLine(*info));
    ui->LMDLabel3->setVisible(m_DisplayRecordingInfo);
}

void TPlayForm::showPlaybackState(Playback::State state)
{
    switch (state) {
    case Playback::State::Stopped:
        showStoppedControls();
        break;
    case Playback::State::Paused:
        ui->LMDSpeedButton2->setDown(true);
        ui->InfoLabel->setCaption(QStringLiteral("Paused..."));
        break;
    case Playback::State::Playing:
        ui->LMDSpeedButton2->setDown(false);
        break;
    }
}

void TPlayForm::TimerTimer()
{
    CommandScope::run([this] { m_playback->tick(); });
}

void TPlayForm::ShowTime(const QString &time)
{
    ui->LedDisplay->SetCaption(time);
    // Every second: an auto-sized label measures its text again even when it is the same.
    const QString title = m_playback->currentTitle();
    if (ui->InfoLabel->text() != title)
        ui->InfoLabel->setCaption(title);
}

void TPlayForm::Forward1Click()
{
    m_playback->setPlayMode(Playback::PlayMode::Forward);
    showPlayMode();
}

void TPlayForm::Random1Click()
{
    m_playback->setPlayMode(Playback::PlayMode::Random);
    showPlayMode();
}

void TPlayForm::SameSong1Click()
{
    m_playback->setPlayMode(Playback::PlayMode::SameSong);
    showPlayMode();
}

// Exactly one item checked: a click on the checked one unchecked it.
void TPlayForm::showPlayMode()
{
    const Playback::PlayMode mode = m_playback->playMode();
    ui->Forward1->setChecked(mode == Playback::PlayMode::Forward);
    ui->Random1->setChecked(mode == Playback::PlayMode::Random);
    ui->SameSong1->setChecked(mode == Playback::PlayMode::SameSong);
}

void TPlayForm::PlayBtnClick()
{
    CommandScope::run([this] { m_playback->play(); });
}

void TPlayForm::PauseBtnClick()
{
    CommandScope::run([this] { m_playback->pauseResume(); });
}

void TPlayForm::StopBtnClick()
{
    CommandScope::run([this] { m_playback->stop(); });
}

void TPlayForm::showStoppedControls()
{
    ui->Slider->setEnabled(false);
    ui->LMDSpeedButton1->setEnabled(true);
    ui->LMDSpeedButton2->setEnabled(false);
    ui->LMDSpeedButton3->setEnabled(false);
    ui->Pause1->setEnabled(false);
    ui->Stop1->setEnabled(false);
    ui->Play1->setEnabled(true);
    ui->InfoLabel->setCaption(QStringLiteral("Stopped..."));
}

void TPlayForm::LMDSpeedButton5Click()
{
    CommandScope::run([this] { m_playback->next(); });
}

void TPlayForm::LMDSpeedButton4Click()
{
    CommandScope::run([this] { m_playback->previous(); });
}

void TPlayForm::SliderMouseUp(QObject *, Qt::MouseButton, Qt::KeyboardModifiers, int, int)
{
    CommandScope::run([this] { m_playback->seek(ui->Slider->position()); });
}

// The bars' handlers run from their change signals, also when a command moves a bar, so their
// failures are shown here rather than thrown back through the signal.
void TPlayForm::Slider2Change(QObject *)
{
    CommandScope::runInEvent([this] { m_playback->setVolume(ui->Slider2->position()); });
}

void TPlayForm::Slider1StopTracking(QObject *)
{
    CommandScope::runInEvent([this] {
        if (m_PriorityLive && m_Player)
            m_Player->SetPriority(priorityAt(ui->Slider1->position()));
    });
}
