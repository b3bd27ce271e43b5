// Playing from the song list: starting a row, the transport commands and their tray twins, the
// one-second poll, seeking, volume, priority and the play modes.
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTimer>
#include <stdexcept>

#include "application.h"
#include "player.h"
#include "playform.h"
#include "songentries.h"
#include "songrows.h"
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

void TPlayForm::SongListDblClick()
{
    CommandScope::run([this] {
        int row = ui->SongList->itemIndex();
        if (row < 0)
            return;
        const int rows = ui->SongList->count();
        // Missing files are skipped forward, wrapping; one full round finds nothing to play.
        for (int tried = 0; tried < rows; ++tried) {
            const QString path = SongEntries::pathOfEntry(m_Entries.value(row));
            if (m_Player->PlayerMode() != 0) {
                m_Timer->stop();
                ui->Slider->setEnabled(false);
                m_Player->Close();
            }
            if (QFileInfo(path).isFile()) {
                StartSong(path);
                return;
            }
            row = SongRows::next(row, rows);
            ui->SongList->setItemIndex(row);
        }
        showStoppedControls();
    });
}

void TPlayForm::StartSong(const QString &path)
{
    // A song that cannot start leaves the player stopped, so that Play can try again (after the
    // sound server is back, say), not "Playing..." with Play disabled.
    try {
        startPlaying(path);
    } catch (...) {
        showStoppedControls();
        throw;
    }
}

void TPlayForm::startPlaying(const QString &path)
{
    ui->LMDSpeedButton2->setEnabled(true);
    ui->Stop1->setEnabled(true);
    ui->LMDSpeedButton3->setEnabled(true);
    ui->Pause1->setEnabled(true);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error(
            QStringLiteral("Cannot open file %1. %2").arg(path, file.errorString()).toStdString());
    m_FileBlocks = uint32_t(file.size() / 128);
    file.close();
    ui->InfoLabel->setCaption(QStringLiteral("Playing..."));
    ui->Slider->setEnabled(true);
    m_CurrentTitle = ui->SongList->item(ui->SongList->itemIndex());
    ui->Play1->setEnabled(false);
    ui->LMDSpeedButton1->setEnabled(false);
    ui->LMDSpeedButton2->setDown(false);
    m_elapsed = ElapsedTime();
    m_Player->SetInputName(path);
    m_Player->Open();
    m_Player->InitStream();
    const int seconds = m_Player->Size() / 1000;
    if (seconds > 0 && seconds != ui->Slider->maxValue())
        ui->Slider->setMaxValue(seconds);
    m_Player->Play();
    m_Timer->start();
    ui->Slider->setEnabled(true);
    if (const std::optional<StreamInfo> info = fetchStreamInfo(*m_Player)) {
        ui->LMDLabel3->setCaption(qualityLine(*info));
        m_Bitrate = uint32_t(info->bitrate);
    }
    ui->LMDLabel3->setVisible(m_DisplayRecordingInfo);
}

void TPlayForm::TimerTimer()
{
    CommandScope::run([this] {
        const int mode = m_Player->PlayerMode();
        if (mode == 3) {
            ChooseNextSong();
            return;
        }
        if (mode != 4 && mode != 5)
            return;
        if (mode == 4) {
            m_elapsed.tick();
            ShowTime(m_elapsed.text());
        }
        ui->Slider->setPosition(m_Player->Position() / 1000);
        ui->Slider2->setPosition((int(m_Player->LeftVolume()) + int(m_Player->RightVolume())) / 2);
    });
}

void TPlayForm::ShowTime(const QString &time)
{
    ui->LedDisplay->SetCaption(time);
    ui->InfoLabel->setCaption(m_CurrentTitle);
}

void TPlayForm::ChooseNextSong()
{
    const int rows = ui->SongList->count();
    if (ui->Forward1->isChecked()) {
        ui->SongList->setItemIndex(SongRows::next(ui->SongList->itemIndex(), rows));
        SongListDblClick();
    }
    if (ui->Random1->isChecked() && rows > 0) {
        QRandomGenerator generator{quint32(QDateTime::currentMSecsSinceEpoch())};
        ui->SongList->setItemIndex(SongRows::random(rows, generator));
        SongListDblClick();
    }
    if (ui->SameSong1->isChecked())
        SongListDblClick();
}

void TPlayForm::Forward1Click()
{
    checkPlayMode(ui->Forward1);
}

void TPlayForm::Random1Click()
{
    checkPlayMode(ui->Random1);
}

void TPlayForm::SameSong1Click()
{
    checkPlayMode(ui->SameSong1);
}

void TPlayForm::checkPlayMode(QAction *mode)
{
    for (QAction *item : {ui->Forward1, ui->Random1, ui->SameSong1})
        item->setChecked(item == mode);
}

void TPlayForm::PlayBtnClick()
{
    CommandScope::run([this] {
        if (ui->SongList->count() == 0)
            return;
        if (ui->SongList->itemIndex() < 0)
            ui->SongList->setItemIndex(0);
        SongListDblClick();
    });
}

void TPlayForm::PauseBtnClick()
{
    CommandScope::run([this] {
        if (ui->SongList->count() == 0)
            return;
        if (m_Player->Paused()) {
            ui->LMDSpeedButton2->setDown(false);
            m_Player->Resume();
        } else {
            ui->LMDSpeedButton2->setDown(true);
            m_Player->Pause();
            ui->InfoLabel->setCaption(QStringLiteral("Paused..."));
        }
    });
}

void TPlayForm::StopBtnClick()
{
    CommandScope::run([this] {
        if (ui->SongList->count() == 0)
            return;
        m_Player->Stop();
        m_Player->InitStream();
        ui->Slider->setPosition(0);
        showStoppedControls();
    });
}

void TPlayForm::showStoppedControls()
{
    m_Timer->stop();
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
    CommandScope::run([this] {
        const int row = ui->SongList->itemIndex();
        if (ui->SongList->count() == 0 || row < 0)
            return;
        ui->SongList->setItemIndex(SongRows::next(row, ui->SongList->count()));
        SongListDblClick();
    });
}

void TPlayForm::LMDSpeedButton4Click()
{
    CommandScope::run([this] {
        const int row = ui->SongList->itemIndex();
        if (ui->SongList->count() == 0 || row < 0)
            return;
        ui->SongList->setItemIndex(SongRows::previous(row, ui->SongList->count()));
        SongListDblClick();
    });
}

void TPlayForm::SliderMouseUp(QObject *, Qt::MouseButton, Qt::KeyboardModifiers, int, int)
{
    CommandScope::run([this] {
        m_Player->SetPosition(ui->Slider->position() * 1000);
        ui->Slider->setPosition(m_Player->Position() / 1000);
        RecalcElapsedTime();
    });
}

void TPlayForm::RecalcElapsedTime()
{
    // Without a bitrate there is nothing to estimate from: the decoder's position stands in.
    m_elapsed =
        estimateElapsedTime(m_FileBlocks, m_Bitrate, ui->Slider->position(), ui->Slider->maxValue())
            .value_or(elapsedTimeAt(m_Player->Position()));
}

// The bars' handlers run from their change signals, also when a command moves a bar, so their
// failures are shown here rather than thrown back through the signal.
void TPlayForm::Slider2Change(QObject *)
{
    CommandScope::runInEvent([this] {
        if (!m_Player)
            return;
        const auto volume = uint16_t(ui->Slider2->position());
        m_Player->SetLeftVolume(volume);
        m_Player->SetRightVolume(volume);
    });
}

void TPlayForm::Slider1StopTracking(QObject *)
{
    CommandScope::runInEvent([this] {
        if (m_PriorityLive && m_Player)
            m_Player->SetPriority(priorityAt(ui->Slider1->position()));
    });
}
