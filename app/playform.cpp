#include "playform.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QShowEvent>
#include <QStandardPaths>

#include "aboutdialog.h"
#include "application.h"
#include "assocdialog.h"
#include "commandline.h"
#include "controlaccessibility.h"
#include "desktopassociation.h"
#include "desktopsession.h"
#include "equalizercontrol.h"
#include "equalizerform.h"
#include "filedrop.h"
#include "iniout.h"
#include "instanceguard.h"
#include "leftoversavefiles.h"
#include "oneinstance.h"
#include "ownfiles.h"
#include "players.h"
#include "registrystore.h"
#include "screenplacement.h"
#include "songlist.h"
#include "transportglyph.h"
#include "trayicon.h"
#include "ui_playform.h"

namespace {

const QString SettingsKey = QStringLiteral("SOFTWARE\\Vellacort\\Vorov3");

// What the main window keeps in the settings store: component;property;default;key;value.
QStringList mainWindowSettings()
{
    const QString key = SettingsKey;
    return {
        QStringLiteral("PlayForm;Top;20;%1;Top;1;0").arg(key),
        QStringLiteral("PlayForm;Left;100;%1;Left;1;0").arg(key),
        QStringLiteral("Slider1;Position; ;%1;Slider1Position;1;0").arg(key),
        QStringLiteral("Slider2;Position; ;%1;Slider2Position;1;0").arg(key),
        QStringLiteral("Forward1;Checked;True;%1;Forward;1;0").arg(key),
        QStringLiteral("Random1;Checked;False;%1;Random;1;0").arg(key),
        QStringLiteral("SameSong1;Checked;False;%1;SameSong;1;0").arg(key),
    };
}

} // namespace

TPlayForm::TPlayForm(RegistryStore &store, const QString &programFolder,
                     const QStringList &arguments)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), ui(new Ui::TPlayForm), m_store(store),
      m_programFolder(programFolder), m_arguments(arguments), m_startFolder(QDir::currentPath()),
      m_lastPlaylistPath(lastPlaylistPathFor(programFolder))
{
    // Before the controls exist: a listening screen reader asks for them as their names are set.
    installControlAccessibility();
    ui->setupUi(this);
    setFixedSize(252, 412);
    prepareShape();
    ui->LMDPanelFill1->installEventFilter(this);
    createComponents();
    // A later copy of the program ends here, before it loads or shows anything.
    m_LMDOneInstance1->Loaded();
}

TPlayForm::~TPlayForm()
{
    CommandScope::runInEvent([this] { FormDestroy(); });
    // The player releases the library now, while the handlers it calls still exist.
    delete m_PlayerMan;
}

void TPlayForm::createComponents()
{
    m_PlayerMan = new TElPlayerMan(this);
    m_PlayerMan->setObjectName(QStringLiteral("PlayerMan"));
    TElPlayer *player = m_PlayerMan->Players()->Add();
    player->SetInputMode(TElPlayer::imFile);
    player->SetOutputMode(TElPlayer::omMMSystem);
    player->SetPathToDLL(QStringLiteral("libnorlplay.so"));
    player->SetStartPos(0);
    player->SetEndPos(0);
    player->SetPriority(0);
    player->SetBuffersCount(12);
    player->SetBufferSize(16384);
    player->SetOutputDevNum(0);
    player->SetUseEqualizer(false);
    bindFileStreamEvents(*player, m_fileStreams);
    player->SetOnOutputInit(
        [this](QObject *sender, bool &success) { PlayerManPlayers0OutputInit(sender, success); });
    player->SetOnOutputDone(
        [this](QObject *sender, bool &success) { PlayerManPlayers0OutputDone(sender, success); });
    player->SetOnOutput([this](QObject *sender, void *samples, int bits, int channels, int rate,
                               int size, bool &success) {
        PlayerManPlayers0Output(sender, samples, bits, channels, rate, size, success);
    });

    m_songs = new SongList(this);
    m_songs->setObjectName(QStringLiteral("Songs"));
    connect(m_songs, &SongList::rowsReset, this,
            [this] { ui->SongList->setItems(m_songs->rows()); });
    connect(m_songs, &SongList::rowRemoved, ui->SongList, &TLMDImageListBox::deleteItem);
    m_playback = new Playback(*m_songs, this);
    m_playback->setObjectName(QStringLiteral("Playback"));
    m_equalizer = new EqualizerControl(m_store, SettingsKey, this);
    bindPlayback();
    bindKeys();

    m_LMDAboutDlg1 = new TLMDAboutDlg(this);
    m_LMDAboutDlg1->setObjectName(QStringLiteral("LMDAboutDlg1"));
    m_LMDAboutDlg1->setProperty("LinkUrl", HomePage);

    m_LMDOneInstance1 = new TLMDOneInstance(this);
    m_LMDOneInstance1->setObjectName(QStringLiteral("LMDOneInstance1"));
    if (InstanceGuard *guard = InstanceGuard::current())
        connect(guard, &InstanceGuard::activationRequested, this,
                [this] { TLMDOneInstance::BringForward(*this); });

    m_LMDTrayIcon1 = new TLMDTrayIcon(this);
    m_LMDTrayIcon1->setObjectName(QStringLiteral("LMDTrayIcon1"));
    m_LMDTrayIcon1->SetHint(QStringLiteral("NorlPlayer"));
    m_LMDTrayIcon1->SetPopUpMenu(ui->PopupMenu4);
    m_LMDTrayIcon1->SetIcon(TLMDTrayIcon::programIcon(m_programFolder));
    connect(m_LMDTrayIcon1, &TLMDTrayIcon::OnDblClick, this, &TPlayForm::LMDTrayIcon1DblClick);

    m_LMDFMDrop1 = new TLMDFMDrop(this);
    m_LMDFMDrop1->setObjectName(QStringLiteral("LMDFMDrop1"));
    m_LMDFMDrop1->SetControl(ui->LMDPanelFill1);
    connect(m_LMDFMDrop1, &TLMDFMDrop::OnFMDragDrop, this, &TPlayForm::LMDFMDrop1FMDragDrop);

    m_IniOut1 = new TIniOut(this, m_store);
    m_IniOut1->setObjectName(QStringLiteral("IniOut1"));
    m_IniOut1->SetRegistryRoot(TIniOut::LOCAL_MACHINE);
    m_IniOut1->SetItems(mainWindowSettings());

    showBuiltinPictures();

    // Object references a form file cannot hold.
    ui->SongList->setPopupMenu(ui->PopupMenu1);
    ui->LMDSpeedButton8->setDropDownMenu(ui->PopupMenu1);
    ui->LMDSpeedButton10->setDropDownMenu(ui->PopupMenu3);
    ui->LMDSpeedButton9->setDropDownMenu(ui->PopupMenu2);
}

// The form's own pictures and the parts of its design a form file cannot hold (nested objects,
// images); a skin replaces the pictures.
void TPlayForm::showBuiltinPictures()
{
    const GlyphColours glyphColours{QColor(128, 128, 0),
                                    {Qt::black, QColor(128, 128, 128), Qt::darkBlue, Qt::black}};
    const std::pair<TLMDSpeedButton *, std::pair<TransportSymbol, int>> buttons[] = {
        {ui->LMDSpeedButton1, {TransportSymbol::Play, 17}},
        {ui->LMDSpeedButton2, {TransportSymbol::Pause, 13}},
        {ui->LMDSpeedButton3, {TransportSymbol::Stop, 17}},
        {ui->LMDSpeedButton4, {TransportSymbol::Previous, 20}},
        {ui->LMDSpeedButton5, {TransportSymbol::Next, 21}},
        {ui->LMDSpeedButton6, {TransportSymbol::Hide, 11}},
        {ui->LMDSpeedButton7, {TransportSymbol::Quit, 11}}};
    for (const auto &[button, glyph] : buttons) {
        const int height = glyph.first >= TransportSymbol::Hide ? 11 : 16;
        button->setGlyph(transportGlyph(glyph.first, glyph.second, height, glyphColours));
    }
    const QColor thumbFace(192, 192, 192), thumbPressed(255, 255, 160);
    ui->Slider->setThumb(thumbPicture({56, 10}, thumbFace, thumbPressed, Qt::white));
    ui->Slider1->setThumb(thumbPicture({45, 8}, thumbFace, thumbPressed, Qt::white));
    ui->Slider2->setThumb(thumbPicture({45, 8}, thumbFace, thumbPressed, Qt::white));

    TLMDLEDLabel &led = *ui->LedDisplay;
    led.Bevel()->SetMode(TLMDBevel::bmCustom);
    led.Bevel()->SetBorderWidth(1);
    led.Bevel()->SetBorderInnerWidth(1);
    led.Bevel()->SetStandardStyle(TLMDBevel::lsSingleLowered);
    led.LED()->SetHorzsize(6);
    led.LED()->SetVertsize(6);
    led.LED()->SetThickness(1);
}

// Output notifications are accepted; the samples are not used.
void TPlayForm::PlayerManPlayers0OutputInit(QObject *, bool &Success)
{
    Success = true;
}

void TPlayForm::PlayerManPlayers0OutputDone(QObject *, bool &Success)
{
    Success = true;
}

void TPlayForm::PlayerManPlayers0Output(QObject *, void *, int, int, int, int, bool &success)
{
    success = true;
}

void TPlayForm::FormCreate()
{
    m_songs->clear();
    // Restoring the bars reaches no player yet: Player is unset and PriorityLive is off.
    m_IniOut1->LoadFromRegistry();
    // Stored items that check none (or several) still leave one mode in force, and shown.
    showPlayMode();
    // The stored place may lie on a monitor that is gone.
    keepOnScreen(*this);
    show();
}

void TPlayForm::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        CommandScope::runInEvent([this] { FormShow(); });
}

void TPlayForm::FormShow()
{
    if (m_FirstShowDone)
        return;
    m_Player = m_PlayerMan->Players()->GetItems(0);
    m_playback->setPlayer(m_Player);
    // A retry after a failed first show keeps the library it already loaded.
    if (!m_Player->Initialized())
        m_Player->InitModule();
    startEqualizer();
    ui->Slider2->setPosition((int(m_Player->LeftVolume()) + int(m_Player->RightVolume())) / 2);
    m_PriorityLive = true;
    ApplySettings();
    takeLastPlaylist();
    ui->LMDSpeedButton4->setTransparent(true);
    m_FirstShowDone = true;
    m_FirstShowToFinish = true;
}

void TPlayForm::setVisible(bool visible)
{
    QWidget::setVisible(visible);
    if (visible && (!m_WindowUpSent || m_FirstShowToFinish))
        CommandScope::runInEvent([this] { FinishFirstShow(); });
}

void TPlayForm::FinishFirstShow()
{
    // Also after a failed first show: the window is there, and a user can play songs in it.
    if (!m_WindowUpSent) {
        m_WindowUpSent = true;
        emit windowUp();
    }
    if (!m_FirstShowToFinish)
        return;
    m_FirstShowToFinish = false;
    CheckAssociation();
    OpenCommandLineFile();
}

QString TPlayForm::lastPlaylistPathFor(const QString &programFolder)
{
    const QString name = QStringLiteral("loaded.lpl");
    if (mayWriteBesideProgram(programFolder, programFolder))
        return QDir(programFolder).filePath(name);
    const QString userFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(userFolder);
    const QString userList = QDir(userFolder).filePath(name);
    // A copy that kept its list beside itself before it was installed there keeps that list.
    const QString oldList = QDir(programFolder).filePath(name);
    if (!QFileInfo::exists(userList) && QFileInfo(oldList).isFile())
        QFile::copy(oldList, userList);
    return userList;
}

bool TPlayForm::settingsKept(RegistryStore &store)
{
    return store.keyExists(RegistryRoot::LocalMachine, SettingsKey);
}

void TPlayForm::CheckAssociation()
{
    const std::unique_ptr<DesktopAssociation> association = makeUserDesktopAssociation();
    runAssociationCheck(this, m_store, *association, QCoreApplication::applicationFilePath());
}

void TPlayForm::OpenCommandLineFile()
{
    AddFilesAndPlay(CommandLine::songPaths(m_arguments, m_startFolder));
}

void TPlayForm::closeEvent(QCloseEvent *event)
{
    CommandScope::runInEvent([this] { FormClose(); });
    event->accept();
}

void TPlayForm::FormClose()
{
    if (m_Player)
        m_Player->DeInitModule();
}

void TPlayForm::FormDestroy()
{
    m_IniOut1->SaveToRegistry();
    if (m_RememberLastLoaded && m_lastPlaylistTaken) {
        removeLeftoverSaveFiles(m_lastPlaylistPath);
        WritePlaylist(m_lastPlaylistPath);
    }
}

void TPlayForm::LMDSpeedButton6Click()
{
    // Without a notification area the window stays minimised on the taskbar, its only way back;
    // with neither, it stays where it is.
    using DesktopSession::HideAction;
    const HideAction action = DesktopSession::hideAction(
        m_LMDTrayIcon1->canHideToTray(),
        DesktopSession::minimisedWindowReturns(QGuiApplication::platformName(),
                                               qEnvironmentVariable("XDG_CURRENT_DESKTOP")));
    if (action == HideAction::Stay)
        return;
    showMinimized();
    if (action == HideAction::HideToTray) {
        hide();
        // Nothing of the program stays on screen but its tray icon.
        if (m_equalizerForm)
            m_equalizerForm->hide();
    }
}

void TPlayForm::LMDSpeedButton7Click()
{
    QCoreApplication::quit();
}

void TPlayForm::LMDTrayIcon1DblClick()
{
    CommandScope::run([this] { TLMDOneInstance::BringForward(*this); });
}

void TPlayForm::Restore1Click()
{
    LMDTrayIcon1DblClick();
}
