// The main window under test: a temporary program folder and settings store, the scripted fake
// decoder as its library, scripted answers for its file dialogs and Preferences, a log of its
// start-up steps, and a watcher that reads and closes the message boxes it shows.
#pragma once

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <dlfcn.h>
#include <memory>

#include "fakescript.h"
#include "player.h"
#include "players.h"
#include "playform.h"
#include "registrystore.h"

const QString FakeDecoderPath = QStringLiteral(NORL_FAKE_DECODER_DIR "/libfakedecoder.so");

// The script of the fake decoder the window loads; the library stays loaded so that the
// script outlives the window's unloads.
inline FakeScript &fakeScript()
{
    static void *library = dlopen(FakeDecoderPath.toLocal8Bit().constData(), RTLD_NOW);
    static FakeScript *script =
        library ? reinterpret_cast<FakeDecoderScriptProc>(dlsym(library, "FakeDecoderScript"))()
                : nullptr;
    Q_ASSERT(script);
    return *script;
}

// Reads the text of every message box that opens and closes it, so handlers run to the end.
class MessageBoxWatcher : public QObject {
public:
    MessageBoxWatcher()
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                texts << box->text();
                box->done(QMessageBox::Ok);
            }
        });
        m_timer.start(5);
    }
    QStringList texts;

private:
    QTimer m_timer;
};

class TestPlayForm : public TPlayForm {
public:
    using TPlayForm::TPlayForm;
    using TPlayForm::ui;

    QStringList steps;                   // the start-up steps in the order they ran
    QStringList filesToOpen;             // what the open dialog answers
    QString fileToSave;                  // what the save dialog answers
    std::function<void()> inPreferences; // what the user does while Preferences is open
    int windowMoves = 0;                 // moves handed to the desktop

    void ApplySettings() override
    {
        steps << QStringLiteral("ApplySettings");
        TPlayForm::ApplySettings();
    }
    void ReadPlaylist(const QString &fileName) override
    {
        steps << QStringLiteral("ReadPlaylist");
        TPlayForm::ReadPlaylist(fileName);
    }
    std::function<void()> inAssociationCheck; // what happens while the prompt waits
    void CheckAssociation() override
    {
        steps << QStringLiteral("CheckAssociation");
        if (inAssociationCheck)
            inAssociationCheck();
    }
    void AddEntry(const QString &path) override
    {
        steps << QStringLiteral("AddEntry");
        TPlayForm::AddEntry(path);
    }

protected:
    void startWindowMove() override { ++windowMoves; }
    QStringList chooseFilesToOpen() override { return filesToOpen; }
    QString chooseFileToSave() override { return fileToSave; }
    void showPreferences() override
    {
        steps << QStringLiteral("Preferences");
        if (inPreferences)
            inPreferences();
    }
};

// A small default skin in `folder`/blue: a background with its corners cut away, the five
// glyphs and the two thumbs under their default names.
inline void writeTestSkin(const QString &folder)
{
    QDir(folder).mkpath(QStringLiteral("blue"));
    const QString skin = folder + QStringLiteral("/blue/");
    QImage background(252, 412, QImage::Format_RGB32);
    background.fill(QColor(20, 40, 80));
    for (QPoint corner : {QPoint(0, 0), QPoint(251, 0), QPoint(0, 411), QPoint(251, 411)})
        background.setPixelColor(corner, Qt::white);
    background.save(skin + QStringLiteral("back.bmp"), "BMP");
    QImage glyph(68, 16, QImage::Format_RGB32);
    glyph.fill(QColor(20, 40, 80));
    glyph.save(skin + QStringLiteral("glyph.bmp"), "BMP");
    QImage thumb(44, 8, QImage::Format_RGB32);
    thumb.fill(Qt::gray);
    thumb.save(skin + QStringLiteral("hruler.bmp"), "BMP");
    thumb.save(skin + QStringLiteral("hruler1.bmp"), "BMP");
    QFile file(skin + QStringLiteral("blue.sk"));
    file.open(QIODevice::WriteOnly);
    file.write("[Skin]\nBackground=back.bmp\nPlayButton=glyph.bmp\nPauseButton=glyph.bmp\n"
               "StopButton=glyph.bmp\nNextButton=glyph.bmp\nPreviousButton=glyph.bmp\n"
               "Song List Font=Liberation Sans\n");
}

// A program folder with its default skin, a store and a window, made fresh for each test.
struct FormFixture {
    QTemporaryDir folder;
    std::unique_ptr<RegistryStore> store = makeFileRegistryStore(folder.filePath("registry"));
    std::unique_ptr<TestPlayForm> form;

    FormFixture()
    {
        fakeScript() = FakeScript();
        writeTestSkin(folder.path());
    }

    // The window before FormCreate, with the fake decoder as its library.
    TestPlayForm &make(const QStringList &arguments = {})
    {
        form = std::make_unique<TestPlayForm>(*store, folder.path(), arguments);
        player().SetPathToDLL(FakeDecoderPath);
        return *form;
    }
    TElPlayer &player() const
    {
        return *form->findChild<TElPlayerMan *>(QStringLiteral("PlayerMan"))
                    ->Players()
                    ->GetItems(0);
    }
    void storeSetting(const QString &name, const QString &text)
    {
        const QString key = QStringLiteral("SOFTWARE\\Vellacort\\Vorov3");
        store->createKey(RegistryRoot::LocalMachine, key);
        store->writeValue(RegistryRoot::LocalMachine, key, name, {RegistryValueType::String, text});
    }
    QString storedSetting(const QString &name) const
    {
        const auto value = store->readValue(RegistryRoot::LocalMachine,
                                            QStringLiteral("SOFTWARE\\Vellacort\\Vorov3"), name);
        return value ? value->data : QStringLiteral("<absent>");
    }
};
