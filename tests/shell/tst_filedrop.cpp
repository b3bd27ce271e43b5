// Files dropped on a widget, simulated by the drag and drop events the desktop would deliver:
// what one drop hands on, which drags are refused, and a hook that outlives neither the widget
// nor the component.
#include <QtTest>
#include <QtWidgets>

#include "filedrop.h"

namespace {

struct Dropped {
    QObject *sender = nullptr;
    int count = -1;
    QPoint point;
    QStringList names;
    int events = 0;
};

QMimeData *urlData(const QList<QUrl> &urls)
{
    auto *data = new QMimeData;
    data->setUrls(urls);
    return data;
}

// True when the drag was accepted.
bool dragEnter(QWidget *target, const QList<QUrl> &urls,
               Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction, QPoint at = QPoint(3, 4))
{
    std::unique_ptr<QMimeData> data(urlData(urls));
    QDragEnterEvent event(at, actions, data.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
    return event.isAccepted();
}

// A drag entering `target` and dropped there, as the desktop delivers it (a drop goes to the
// widget that took the drag). The drop action the source is told of; Qt::IgnoreAction when the
// drop was refused.
Qt::DropAction drop(QWidget *target, const QList<QUrl> &urls, QPoint at = QPoint(12, 34),
                    Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction)
{
    dragEnter(target, urls, actions, at);
    std::unique_ptr<QMimeData> data(urlData(urls));
    QDropEvent event(at, actions, data.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
    return event.isAccepted() ? event.dropAction() : Qt::IgnoreAction;
}

QList<QUrl> fileUrls(const QStringList &paths)
{
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls << QUrl::fromLocalFile(path);
    return urls;
}

} // namespace

class tst_filedrop : public QObject {
    Q_OBJECT

    Dropped dropped;

    void watch(TLMDFMDrop &component)
    {
        dropped = {};
        connect(&component, &TLMDFMDrop::OnFMDragDrop, this,
                [this](QObject *Sender, int fcount, int x, int y, const QStringList &FileList) {
                    dropped.sender = Sender;
                    dropped.count = fcount;
                    dropped.point = QPoint(x, y);
                    dropped.names = FileList;
                    ++dropped.events;
                });
    }

private slots:
    void oneDrop_data()
    {
        QTest::addColumn<QList<QUrl>>("urls");
        QTest::addColumn<TLMDFMDrop::TLMDCharCase>("charCase");
        QTest::addColumn<int>("count");
        QTest::addColumn<QStringList>("names");

        const QStringList five = {"/music/b.mp3", "/music/a.mp3", "/music/Ünïcode.mp3",
                                  "/music/with blank.mp3", "/other/e.MP3"};
        QTest::newRow("five songs in drop order")
            << fileUrls(five) << TLMDFMDrop::ccNormal << 5 << five;
        QTest::newRow("a folder is one name") << fileUrls({"/home/me/mp3"}) << TLMDFMDrop::ccNormal
                                              << 1 << QStringList{"/home/me/mp3"};
        const QString longPath = "/music/" + QString(289, QLatin1Char('x')) + ".mp3";
        QCOMPARE(longPath.size(), 300);
        QTest::newRow("a 300-character path is kept")
            << fileUrls({longPath}) << TLMDFMDrop::ccNormal << 1 << QStringList{longPath};
        QTest::newRow("a web address is counted, not named")
            << QList<QUrl>{QUrl::fromLocalFile("/a.mp3"), QUrl("http://example.org/b.mp3"),
                           QUrl::fromLocalFile("/c.mp3")}
            << TLMDFMDrop::ccNormal << 3 << QStringList{"/a.mp3", "/c.mp3"};
        QTest::newRow("upper case") << fileUrls({"/Music/Song ä.mp3"}) << TLMDFMDrop::ccUpperCase
                                    << 1 << QStringList{"/MUSIC/SONG Ä.MP3"};
        QTest::newRow("lower case") << fileUrls({"/Music/Song Ä.MP3"}) << TLMDFMDrop::ccLowerCase
                                    << 1 << QStringList{"/music/song ä.mp3"};
    }

    void oneDrop()
    {
        QFETCH(QList<QUrl>, urls);
        QFETCH(TLMDFMDrop::TLMDCharCase, charCase);
        QFETCH(int, count);
        QFETCH(QStringList, names);

        QWidget panel;
        TLMDFMDrop LMDFMDrop1;
        LMDFMDrop1.SetCharCase(charCase);
        LMDFMDrop1.SetControl(&panel);
        watch(LMDFMDrop1);
        QVERIFY(panel.acceptDrops());
        QCOMPARE(drop(&panel, urls), Qt::CopyAction);
        QCOMPARE(dropped.events, 1);
        QCOMPARE(dropped.sender, &LMDFMDrop1);
        QCOMPARE(dropped.count, count);
        QCOMPARE(dropped.point, QPoint(12, 34));
        QCOMPARE(dropped.names, names);
    }

    // A drop on a child that takes no drops reaches the target, with the point in the target's
    // coordinates: the whole window is a drop area.
    void dropOnChildReachesTarget()
    {
        QWidget panel;
        auto *child = new QLabel(QStringLiteral("title"), &panel);
        child->setGeometry(40, 50, 100, 20);
        TLMDFMDrop LMDFMDrop1;
        LMDFMDrop1.SetControl(&panel);
        watch(LMDFMDrop1);
        QCOMPARE(drop(child, fileUrls({"/a.mp3"}), QPoint(5, 6)), Qt::CopyAction);
        QCOMPARE(dropped.events, 1);
        QCOMPARE(dropped.point, QPoint(45, 56));
    }

    // The player only reads what it is given: it never lets the source think the files moved.
    void dropActions_data()
    {
        QTest::addColumn<Qt::DropActions>("offered");
        QTest::addColumn<Qt::DropAction>("taken");
        QTest::newRow("copy or move") << (Qt::CopyAction | Qt::MoveAction) << Qt::CopyAction;
        QTest::newRow("link") << Qt::DropActions(Qt::LinkAction) << Qt::LinkAction;
        QTest::newRow("move only") << Qt::DropActions(Qt::MoveAction) << Qt::IgnoreAction;
    }

    void dropActions()
    {
        QFETCH(Qt::DropActions, offered);
        QFETCH(Qt::DropAction, taken);
        QWidget panel;
        TLMDFMDrop LMDFMDrop1;
        LMDFMDrop1.SetControl(&panel);
        watch(LMDFMDrop1);
        QCOMPARE(dragEnter(&panel, fileUrls({"/a.mp3"}), offered), taken != Qt::IgnoreAction);
        QCOMPARE(drop(&panel, fileUrls({"/a.mp3"}), QPoint(1, 1), offered), taken);
        QCOMPARE(dropped.events, taken == Qt::IgnoreAction ? 0 : 1);
    }

    void dragWithoutUrlsIsRefused()
    {
        QWidget panel;
        TLMDFMDrop LMDFMDrop1;
        LMDFMDrop1.SetControl(&panel);
        watch(LMDFMDrop1);
        QMimeData text;
        text.setText(QStringLiteral("/a.mp3"));
        QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&panel, &enter);
        QVERIFY(!enter.isAccepted());
        QDropEvent dropEvent(QPoint(1, 1), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&panel, &dropEvent);
        QCOMPARE(dropped.events, 0);
    }

    void disabledRefusesDrops()
    {
        QWidget panel;
        TLMDFMDrop LMDFMDrop1;
        LMDFMDrop1.SetControl(&panel);
        watch(LMDFMDrop1);
        LMDFMDrop1.SetEnabled(false);
        QVERIFY(!panel.acceptDrops());
        QVERIFY(!dragEnter(&panel, fileUrls({"/a.mp3"})));
        QCOMPARE(drop(&panel, fileUrls({"/a.mp3"})), Qt::IgnoreAction);
        QCOMPARE(dropped.events, 0);

        LMDFMDrop1.SetEnabled(true);
        QVERIFY(dragEnter(&panel, fileUrls({"/a.mp3"})));
        drop(&panel, fileUrls({"/a.mp3"}));
        QCOMPARE(dropped.events, 1);
    }

    void changingTargetMovesTheHook()
    {
        QWidget first, second;
        second.setAcceptDrops(true); // a target that took drops of its own keeps doing so
        TLMDFMDrop LMDFMDrop1;
        LMDFMDrop1.SetControl(&first);
        LMDFMDrop1.SetControl(&second);
        watch(LMDFMDrop1);
        QVERIFY(!first.acceptDrops());
        drop(&first, fileUrls({"/a.mp3"}));
        QCOMPARE(dropped.events, 0);
        drop(&second, fileUrls({"/b.mp3"}));
        QCOMPARE(dropped.names, QStringList{"/b.mp3"});
        LMDFMDrop1.SetControl(nullptr);
        QVERIFY(second.acceptDrops());
        drop(&second, fileUrls({"/c.mp3"}));
        QCOMPARE(dropped.events, 1);
    }

    void targetDestroyedFirst()
    {
        auto *panel = new QWidget;
        TLMDFMDrop LMDFMDrop1;
        LMDFMDrop1.SetControl(panel);
        delete panel;
        QCOMPARE(LMDFMDrop1.Control(), nullptr);
        // A new target after the old one died is hooked as usual.
        QWidget next;
        LMDFMDrop1.SetControl(&next);
        watch(LMDFMDrop1);
        drop(&next, fileUrls({"/a.mp3"}));
        QCOMPARE(dropped.events, 1);
    }

    void componentDestroyedFirst()
    {
        QWidget panel;
        auto *LMDFMDrop1 = new TLMDFMDrop;
        LMDFMDrop1->SetControl(&panel);
        delete LMDFMDrop1;
        QVERIFY(!panel.acceptDrops());
        // Events reach the panel alone; a filter left behind would be a dangling object.
        QVERIFY(!dragEnter(&panel, fileUrls({"/a.mp3"})));
        QCOMPARE(drop(&panel, fileUrls({"/a.mp3"})), Qt::IgnoreAction);
    }
};

QTEST_MAIN(tst_filedrop)
#include "tst_filedrop.moc"
