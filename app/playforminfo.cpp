// The Options and Help commands that leave playback alone: stream information, the ID3 tag,
// the about box, the help page and the home page.
#include <QDesktopServices>
#include <QDir>
#include <QMessageBox>
#include <QUrl>

#include "aboutdialog.h"
#include "application.h"
#include "elsexception.h"
#include "player.h"
#include "playform.h"
#include "streamquality.h"
#include "streamrecords.h"

const QUrl TPlayForm::HomePage(QStringLiteral("https://norlplayer.example.org/"));

namespace {

void showBox(QWidget *parent, QMessageBox::Icon icon, const QStringList &lines)
{
    QMessageBox box(icon, QApplication::applicationDisplayName(),
                    lines.join(QStringLiteral("\r\n")), QMessageBox::Ok, parent);
    box.exec();
}

} // namespace

bool TPlayForm::libraryOfVersionOne() const
{
    // Version is -1 without a library; another major version gets no box at all.
    return m_Player && m_Player->Version() / 100 == 1;
}

void TPlayForm::InfoBtnClick()
{
    CommandScope::run([this] {
        if (!libraryOfVersionOne())
            return;
        const std::optional<StreamInfo> info = fetchStreamInfo(*m_Player);
        if (!info) {
            showBox(this, QMessageBox::Critical, {QStringLiteral("Failed to get stream info")});
            return;
        }
        showBox(this, QMessageBox::Information,
                {QStringLiteral("Stream info:"), QStringLiteral("Layer: %1").arg(info->layer),
                 QStringLiteral("Bitrate: %1").arg(info->bitrate),
                 QStringLiteral("Frequency: %1").arg(info->frequency),
                 QStringLiteral("StereoMode: %1").arg(stereoModeName(info->stereoMode))});
    });
}

void TPlayForm::ID3BtnClick()
{
    CommandScope::run([this] {
        if (!libraryOfVersionOne())
            return;
        // The library answers a stream without a tag with an error; to the user that is
        // simply no tag.
        const void *tag = nullptr;
        try {
            tag = m_Player->GetID3Info();
        } catch (const TElSException &) {
        }
        if (!tag) {
            showBox(this, QMessageBox::Critical, {QStringLiteral("Failed to get stream ID3 info")});
            return;
        }
        QString title, artist, album, year, comment;
        uint8_t genre = 0;
        DecodeID3Info(tag, title, artist, album, year, comment, genre);
        showBox(this, QMessageBox::Information,
                {QStringLiteral("Stream ID3 info:"), QStringLiteral("Title: %1").arg(title),
                 QStringLiteral("Artist: %1").arg(artist), QStringLiteral("Album: %1").arg(album),
                 QStringLiteral("Year: %1").arg(year), QStringLiteral("Comment: %1").arg(comment)});
    });
}

void TPlayForm::AboutBtnClick()
{
    CommandScope::run([this] { m_LMDAboutDlg1->Execute(this); });
}

void TPlayForm::Contents1Click()
{
    // What the desktop does with the page is its own affair; nothing is reported here.
    QDesktopServices::openUrl(
        QUrl::fromLocalFile(QDir(m_programFolder).filePath(QStringLiteral("norlplay.html"))));
}

void TPlayForm::NorlPlayersHomePage1Click()
{
    QDesktopServices::openUrl(HomePage);
}
