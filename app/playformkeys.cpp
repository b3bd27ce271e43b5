// The window's keys (Enter also on the keypad): playing, pausing, seeking and moving between songs
// from the keyboard, the desktop's media keys while the window has the focus, and the seek bar
// moved with its keys.
#include <QKeyEvent>
#include <QShortcut>
#include <QTimer>

#include "application.h"
#include "playback.h"
#include "playform.h"
#include "trackbar.h"
#include "ui_playform.h"

namespace {

// How far Left and Right seek.
constexpr int SeekStepSeconds = 5;
// The volume bar's keys: steps a person hears.
constexpr int VolumeLineStep = Playback::MaxVolume / 20;
constexpr int VolumePageStep = Playback::MaxVolume / 5;
// The seek bar seeks this long after its keys were last pressed: once, not once per key.
constexpr int SeekKeysSettleMs = 400;

} // namespace

void TPlayForm::bindKeys()
{
    const auto command = [this](auto &&work) {
        return [this, work] { CommandScope::run([this, &work] { work(*m_playback); }); };
    };
    const std::pair<QKeySequence, std::function<void()>> keys[] = {
        {QKeySequence(Qt::Key_Return), [this] { SongListDblClick(); }},
        {QKeySequence(Qt::Key_Enter), [this] { SongListDblClick(); }},
        {QKeySequence(Qt::Key_Delete), [this] { Remove1Click(); }},
        {QKeySequence(Qt::Key_Space), command([](Playback &p) { p.playPause(); })},
        {QKeySequence(Qt::Key_Left), command([](Playback &p) { p.seekBy(-SeekStepSeconds); })},
        {QKeySequence(Qt::Key_Right), command([](Playback &p) { p.seekBy(SeekStepSeconds); })},
        {QKeySequence(Qt::CTRL | Qt::Key_Left), [this] { LMDSpeedButton4Click(); }},
        {QKeySequence(Qt::CTRL | Qt::Key_Right), [this] { LMDSpeedButton5Click(); }},
        {QKeySequence(Qt::Key_MediaPlay), command([](Playback &p) { p.playPause(); })},
        {QKeySequence(Qt::Key_MediaTogglePlayPause), command([](Playback &p) { p.playPause(); })},
        {QKeySequence(Qt::Key_MediaPause), command([](Playback &p) { p.pause(); })},
        {QKeySequence(Qt::Key_MediaStop), [this] { StopBtnClick(); }},
        {QKeySequence(Qt::Key_MediaNext), [this] { LMDSpeedButton5Click(); }},
        {QKeySequence(Qt::Key_MediaPrevious), [this] { LMDSpeedButton4Click(); }},
    };
    for (const auto &[sequence, handler] : keys)
        connect(new QShortcut(sequence, this), &QShortcut::activated, this, handler);

    m_seekKeysSettle = new QTimer(this);
    m_seekKeysSettle->setSingleShot(true);
    m_seekKeysSettle->setInterval(SeekKeysSettleMs);
    connect(m_seekKeysSettle, &QTimer::timeout, this,
            [this] { SliderMouseUp(ui->Slider, Qt::NoButton, Qt::NoModifier, 0, 0); });
    ui->Slider->installEventFilter(this);
    ui->Slider2->installEventFilter(this);
}

bool TPlayForm::barKeyEvent(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress ||
        !TLMDTrackBar::movesWithKey(*static_cast<QKeyEvent *>(event)))
        return false;
    if (watched == ui->Slider) {
        // The bar moves itself; the seek waits until the keys stop.
        if (ui->Slider->isEnabled())
            m_seekKeysSettle->start();
        return false;
    }
    if (watched != ui->Slider2)
        return false;
    const int key = static_cast<QKeyEvent *>(event)->key();
    const bool page = key == Qt::Key_PageUp || key == Qt::Key_PageDown;
    const bool up = key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_PageUp;
    const int step = page ? VolumePageStep : VolumeLineStep;
    ui->Slider2->setPosition(ui->Slider2->position() + (up ? step : -step));
    return true;
}
